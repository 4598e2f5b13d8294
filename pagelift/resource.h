// Resource ids of Pagelift.dll: its type library and the texts of its message boxes.
#pragma once

#define IDR_TYPELIB 1

#define IDS_NO_DOCUMENT_INTERFACE 101 // "'QueryInterface' - IPIEHTMLDocument2"
#define IDS_NO_COLLECTION 102         // "pColl = NULL"
#define IDS_NO_ROOT_ELEMENT 103       // "pDisp = NULL"
#define IDS_NO_WRITE_ARRAY 104        // "SafeArrayCreateVector()"
