#pragma once

// Sends what the program queued for the X server before the event loop waits for more
// events. Qt flushes its X connection only for its own reasons, and in an idle session (no
// input at all) drawing could stay in the connection's buffer for seconds or for good. Does
// nothing on other displays. Call once, after the application object exists.
void FlushDisplayBeforeEachWait();
