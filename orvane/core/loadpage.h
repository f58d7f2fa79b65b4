// Loading of the program's panels from its resource.
#pragma once

// Loads panel resourceId of "screen.uir" under parent into handle; false (handle untouched) when the
// resource lacks the panel.
bool LoadPage(int parent, int resourceId, int& handle);
