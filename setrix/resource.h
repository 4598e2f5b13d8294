// Resource ids of Setrix.dll.
#pragma once

// Strings.
#define IDS_APP_TITLE 57344 // the caption of the parting message
