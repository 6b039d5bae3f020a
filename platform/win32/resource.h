#pragma once

// The window's icon, also the program file's own icon.
#define IDI_APP 1
