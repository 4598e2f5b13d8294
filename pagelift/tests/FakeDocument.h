// Stand-ins for the browser in the browser helper's tests: a document offering the helper's
// document interfaces over one page of mark-up and recording what is written into it, and a browser
// (the helper's site: the browser stand-in's own site object) offering get_Document and get_LocationURL.
#pragma once

#include "PieDocument.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// What the stand-in document shows and what was done to it; shared with the test.
struct FakePage {
    std::mutex lock;
    std::wstring html;                // the whole mark-up, item 0's outerHTML
    std::vector<std::wstring> writes; // the texts of every write call
    int reads = 0;                    // outerHTML reads
    int documents = 0;                // document objects alive
    // While set, an outerHTML read waits (after counting itself in readsBegun) until it is cleared and
    // readsReleased is notified.
    bool holdReads = false;
    int readsBegun = 0;
    std::condition_variable readsReleased;
    // The step of the document's reading that fails, for the helper's message boxes.
    enum class Failure { None, NoDocumentInterface, NoCollection, NoRootElement } failure = Failure::None;
};

// A new document over page (one reference, the caller's).
IPIEHTMLDocument2* CreateFakeDocument(std::shared_ptr<FakePage> page);

// A new browser whose document is document and whose address is url (one reference, the caller's).
IUnknown* CreateFakeBrowser(IDispatch* document, const wchar_t* url);
