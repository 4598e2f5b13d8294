// One open compound file: its file and lock, the image it was read from, the element tree the
// open objects work on, and writing that tree out as a new file that atomically replaces the old.
// The root storage owns the document; elements opened under it share it and see it closed once the
// root storage is released.
#pragma once

#include "FileIo.h"
#include "Image.h"
#include "Tree.h"

#include <memory>
#include <string>

namespace cfb::detail {

struct Document {
    std::wstring path;
    bool writable = false;
    bool transacted = false;
    bool closed = false;
    bool dirty = false; // the tree differs from the file
    // A transacted root created over an existing file: file is that old file, held locked and left
    // untouched, and the tree starts empty; the first commit replaces the old file, and a root
    // released without a commit leaves it as it was.
    bool replacesOnCommit = false;
    std::uint32_t sectorSize = 512;
    std::shared_ptr<FileIo> file;
    std::shared_ptr<Image> image;
    std::shared_ptr<Node> root;

    // Writes the tree to a new file beside the old one, checks that it reads back, and moves it over
    // the old file; stream contents then refer to the new file. On failure the old file stays as it
    // was and the new one is removed.
    Status WriteOut();
    // Drops the tree and reads it again from the file (a transacted root's revert).
    Status Reload();
    // Ends the document when its root storage is released: the file is closed and unlocked.
    void Close();
};

} // namespace cfb::detail
