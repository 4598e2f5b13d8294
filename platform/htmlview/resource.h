// Resource values of htmlview.dll: its version, shown in the file's properties.
#pragma once

#define HTMLVIEW_VERSION_MAJOR 1
#define HTMLVIEW_VERSION_MINOR 0
#define HTMLVIEW_VERSION_TEXT "1.0"
