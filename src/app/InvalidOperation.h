#pragma once
// The GUI's invalid-operation error, which the re-reading of the tray at each showing and on
// switching on ends quietly; every other error goes to the general handler.
#include <stdexcept>

namespace cvl {

class InvalidOperation : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace cvl
