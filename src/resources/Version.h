// The one place of Corvalet's version: both binaries' version resources, their manifests (checked
// by scripts/check-binaries) and the installer (scripts/make-dist) take it from here.
#pragma once

#define CORVALET_VERSION_NUMBERS 2, 0, 0, 0
#define CORVALET_VERSION_TEXT "2.0.0.0"
#define CORVALET_PRODUCT_VERSION "2.0"
