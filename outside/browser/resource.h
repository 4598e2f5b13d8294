// Resource ids of the browser stand-in.
#pragma once

#define IDS_PAGE_NOT_FOUND 1
#define IDS_BROWSER_TITLE 2
