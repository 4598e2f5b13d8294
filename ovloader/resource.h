// Resource ids of Ovloader.exe: the program has no window, only its version.
#pragma once
