#pragma once
// The icons' pixels, which Corvalet needs because icon handles are not valid in other
// processes everywhere. They follow the answer that listed the icon, in a job the taskbar posts
// itself, and only for handles Corvalet does not hold yet.
#include <windows.h>

#include <optional>

#include "shell/NotifyCopyData.h"

namespace snarehook {

// Corvalet may have dropped its copies: every icon is sent again.
void ForgetSentPixels();
// Keeps only the icons of the enumeration that just ended, held or still to go.
void KeepSentPixels(const HICON* listed, int count);
// In an enumeration only the pixels of icons Corvalet does not hold yet; a query follows a
// change and always sends them.
void QueueIconBits(HWND form, HICON icon, HWND owner, UINT id, bool always);
// The job: what an answer left to send.
void SendPendingIconBits();
// A job posted before a detach went unhandled.
void ForgetPixelsJob();
// The icon of a button an owner is about to change or delete may be destroyed by the shell:
// its handle is forgotten before the shell sees the request.
void ForgetIconOfButton(int index);
void ForgetChangedIcon(const std::optional<cvl::NotifyCopyData>& n);

}  // namespace snarehook
