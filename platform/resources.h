#pragma once
// Modules and their resources: the program itself (module 1) or a loaded picture
// library. Resources are found by type and name, ignoring case.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace plat {

using Module = std::uintptr_t;  // 0 = none

// One compiled-in resource, as the generated tables list them.
struct ResourceEntry {
    const char* type;  // "BITMAP", "WAVE"
    const char* name;
    const unsigned char* data;
    std::size_t size;
};

// The program's own module. Its resources are those registered by the main block.
Module programModule();
void registerProgramResources(const ResourceEntry* table, std::size_t count);

// Loads a library by its file name ("beastpix60.dll" is looked for as beastpix60.so in
// the program's folder, the install's library folder beside it (../lib/zwirlo), the
// current folder and the usual library path). Loading the same library again returns
// the same handle. Never unloaded. 0 when it cannot be loaded.
Module loadLibrary(const std::string& fileName);

// For tests of a missing library: while hidden, loadLibrary finds no library at all.
void setLibrariesHidden(bool hidden);

// The bytes of a resource, or nullptr (size 0) when the module lacks it or is 0.
const unsigned char* findResource(Module module, const std::string& type, const std::string& name,
                                  std::size_t* size);

// A bitmap, shared cheaply by copy; empty (0 x 0) when it could not be loaded. The first
// BMP loaded from a module has its module's other BMPs decoded on a thread of their own, so
// that the first showing of each does not wait for the decoder.
class Bitmap {
public:
    Bitmap();
    // Loads the "BITMAP" resource `name` (a BMP file image) from the module.
    static Bitmap load(Module module, const std::string& name);
    int width() const;
    int height() const;
    bool empty() const { return width() == 0 || height() == 0; }
    const std::string& name() const { return name_; }
    int bitsPerPixel() const;
    struct Data;
    const std::shared_ptr<const Data>& data() const { return data_; }

private:
    std::string name_;
    std::shared_ptr<const Data> data_;
};

// Whether the bitmap is decoded already, without decoding it (for tests).
bool bitmapDecoded(Module module, const std::string& name);

}  // namespace plat
