// Writing an open file's tree out atomically, and reading it back on revert.
#include "Document.h"

#include "Writer.h"

namespace cfb::detail {

Status Document::WriteOut() {
    // What an earlier commit of this file left behind when its process ended goes first.
    FileIo::RemoveStaleBeside(path);
    std::shared_ptr<FileIo> newFile;
    Status status = FileIo::CreateBeside(path, &newFile);
    if (!Succeeded(status))
        return status;
    std::vector<Placement> placements;
    status = WriteCompoundFile(*root, sectorSize, *newFile, &placements);
    if (Succeeded(status))
        status = newFile->Flush();
    // The new file must read back before it may replace the old one.
    std::shared_ptr<Image> newImage;
    std::shared_ptr<Node> readBack;
    if (Succeeded(status))
        status = Image::Load(newFile, &newImage, &readBack);
    if (Succeeded(status))
        status = newFile->Replace(path, *file);
    if (!Succeeded(status)) {
        newFile->Discard();
        return status;
    }
    for (const Placement& placement : placements)
        placement.content->PointAt(newImage, placement.start, placement.mini);
    file = std::move(newFile);
    image = std::move(newImage);
    dirty = false;
    replacesOnCommit = false;
    return Status::Ok;
}

Status Document::Reload() {
    if (replacesOnCommit) {
        // Nothing committed yet: the last committed state is the new, empty file.
        MarkReverted(*root);
        root = Node::MakeStorage(L"Root Entry");
        dirty = true;
        return Status::Ok;
    }
    std::shared_ptr<Image> reloaded;
    std::shared_ptr<Node> tree;
    Status status = Image::Load(file, &reloaded, &tree);
    if (!Succeeded(status))
        return status;
    MarkReverted(*root);
    image = std::move(reloaded);
    root = std::move(tree);
    dirty = false;
    return Status::Ok;
}

void Document::Close() {
    closed = true;
    if (file)
        file->Close();
    file.reset();
    image.reset();
    root.reset();
}

} // namespace cfb::detail
