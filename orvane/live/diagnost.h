// The diagnostics page.
#pragma once

extern int hDgnPanel;

bool InitDgnPanel(int parent);
// The diagnostics exchange of one tick; fails while the link is closed.
bool DgnTimer();
