#pragma once

#include "owned_folder.h"
#include "result.h"

#include <filesystem>
#include <memory>
#include <string>

namespace kavrin::phone_files {

// A copy of what the widget reads on a phone root (the favorites list, the settings file, the
// address-book folder) with a link to the same bundle, in a fresh temporary folder that goes
// with the object. Whatever is done to it, the phone it was copied from stays as it was.
class ScratchPhone {
public:
    // The reason when the copy cannot be made; nothing is then left behind.
    static Result<std::unique_ptr<ScratchPhone>> copyOf(const std::filesystem::path& root);
    const std::filesystem::path& root() const { return m_root.path(); }

private:
    explicit ScratchPhone(OwnedFolder root)
        : m_root(std::move(root)) { }

    OwnedFolder m_root;
};

}
