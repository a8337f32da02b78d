// Resource numbers of kt7340.exe, shared by the resource script and the program.
#pragma once

#define KT7340_ICON 1
