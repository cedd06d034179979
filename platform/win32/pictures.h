// Resource numbers of the pictures in pictures.rc.
#pragma once

#define PELMO_MONITOR_ICON 1
#define PELMO_BACKGROUND 101
#define PELMO_LOGO 102
