// Display refresh after the display device was restarted at close.
#pragma once

// Sets the current display mode again and puts the desktop wallpaper and its style back. Without
// the shell's desktop object only the display mode is set again.
void RefreshDisplayMode();
