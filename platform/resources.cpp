// Modules and their compiled-in resources: the program itself and the picture libraries
// loaded at run time; bitmaps decoded once per module and name, a module's pictures ahead of
// their first showing.
#include "platform/resources.h"

#include <QImage>

#include <cstring>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/app.h"
#include "platform/qt_internal.h"

namespace plat {

struct Bitmap::Data {
    QImage image;
    int bitsPerPixel = 0;
};

namespace {

struct Table {
    const ResourceEntry* entries = nullptr;
    std::size_t count = 0;
};

using LookupFn = const ResourceEntry* (*)(std::size_t*);

// Handles are 1 for the program, then 2, 3 ... for libraries in load order.
// Recursive: a library's start-up code may itself look up resources.
std::recursive_mutex tablesMutex;
std::vector<Table> tables(2);  // [0] unused, [1] the program
std::map<std::string, Module> libraryByPath;
bool librariesHidden = false;
using BitmapKey = std::tuple<Module, std::string>;
std::map<BitmapKey, std::shared_ptr<const Bitmap::Data>> bitmapCache;
std::set<Module> warmedModules;  // their pictures are being or have been decoded ahead

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalIgnoreCase(const char* a, const std::string& b) {
    std::size_t i = 0;
    for (; a[i] && i < b.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return a[i] == '\0' && i == b.size();
}

std::string lowerCopy(std::string s) {
    for (char& c : s) c = lower(c);
    return s;
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Where a library would load from; the bare name leaves the search to the dynamic loader.
// The game's own folders come before the current folder: that is the data folder, which
// other programs can write to.
std::vector<std::string> candidates(const std::string& base) {
    std::vector<std::string> out;
    std::string so = base + ".so";
    if (base.find('/') != std::string::npos) {
        out.push_back(so);
        return out;
    }
    // Without the program's own path there are no folders of its own to look in.
    if (const std::string own = exeDir(); !own.empty())
        for (const std::string& dir : {own, own + ZW_LIBRARY_DIR_FROM_BIN "/"})
            if (fileExists(dir + so)) out.push_back(dir + so);
    if (fileExists("./" + so)) out.push_back("./" + so);
    out.push_back(so);
    return out;
}

int bmpBitsPerPixel(const unsigned char* data, std::size_t size) {
    // BITMAPFILEHEADER (14 bytes), then the info header whose biBitCount sits at offset 14.
    if (size < 30 || data[0] != 'B' || data[1] != 'M') return 0;
    std::uint32_t headerSize =
        data[14] | data[15] << 8 | data[16] << 16 | static_cast<std::uint32_t>(data[17]) << 24;
    if (headerSize == 12) return data[24] | data[25] << 8;  // the old core header
    return data[28] | data[29] << 8;
}

bool isPng(const unsigned char* bytes, std::size_t size) {
    return size > 8 && std::memcmp(bytes, "\x89PNG", 4) == 0;
}

// Card pictures are BMP images; the program icon is kept as a PNG.
std::shared_ptr<const Bitmap::Data> decode(const unsigned char* bytes, std::size_t size) {
    auto data = std::make_shared<Bitmap::Data>();
    data->image =
        QImage::fromData(bytes, static_cast<int>(size), isPng(bytes, size) ? "PNG" : "BMP");
    if (data->image.isNull()) return nullptr;
    data->bitsPerPixel = bmpBitsPerPixel(bytes, size);
    return data;
}

// Decoding a card picture takes about a quarter of a millisecond, which the click that first
// shows it would wait for, before its line even goes to the peer. So once the first BMP of a
// module has been decoded (a table is being laid), this thread decodes the module's other BMPs.
// Made on first use, after the image decoder's own globals: it is stopped and joined before
// they go at exit.
class WarmUp {
public:
    static WarmUp& instance() {
        static WarmUp w;
        return w;
    }
    ~WarmUp() {
        {
            std::lock_guard<std::mutex> g(m_);
            stopping_ = true;
        }
        cv_.notify_all();
        // A forked child has no copy of the thread to wait for.
        if (thread_.joinable() && getpid() == owner_) thread_.join();
    }
    void start(Module module) {
        std::lock_guard<std::mutex> g(m_);
        modules_.push_back(module);
        if (!thread_.joinable()) {
            owner_ = getpid();
            try {
                thread_ = std::thread([this] { run(); });
            } catch (const std::system_error&) {
                modules_.clear();  // no thread to be had: each picture is decoded when shown
            }
        }
        cv_.notify_all();
    }

private:
    void run() {
        for (;;) {
            Module module;
            {
                std::unique_lock<std::mutex> g(m_);
                cv_.wait(g, [&] { return stopping_ || !modules_.empty(); });
                if (stopping_) return;
                module = modules_.front();
                modules_.pop_front();
            }
            decodeAll(module);
        }
    }

    void decodeAll(Module module) {
        Table t;
        {
            std::lock_guard<std::recursive_mutex> g(tablesMutex);
            if (module >= tables.size()) return;
            t = tables[module];
        }
        for (std::size_t i = 0; i < t.count && !stopping_; ++i) {
            const ResourceEntry& e = t.entries[i];
            if (!e.type || !e.name || !e.data || !equalIgnoreCase(e.type, "BITMAP") ||
                isPng(e.data, e.size))
                continue;
            BitmapKey key(module, lowerCopy(e.name));
            {
                std::lock_guard<std::recursive_mutex> g(tablesMutex);
                if (bitmapCache.count(key)) continue;
            }
            auto data = decode(e.data, e.size);
            std::lock_guard<std::recursive_mutex> g(tablesMutex);
            // The program's table may have been replaced meanwhile: its pictures are not ours.
            if (data && tables[module].entries == t.entries) bitmapCache.emplace(key, data);
        }
    }

    std::mutex m_;
    std::condition_variable cv_;
    std::deque<Module> modules_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    pid_t owner_ = 0;
};

}  // namespace

Module programModule() { return 1; }

void registerProgramResources(const ResourceEntry* table, std::size_t count) {
    std::lock_guard<std::recursive_mutex> g(tablesMutex);
    tables[1] = {table, count};
    for (auto it = bitmapCache.begin(); it != bitmapCache.end();)
        it = std::get<0>(it->first) == 1 ? bitmapCache.erase(it) : std::next(it);
    warmedModules.erase(1);
}

Module loadLibrary(const std::string& fileName) {
    std::string base = fileName;
    if (base.size() >= 4 && lowerCopy(base.substr(base.size() - 4)) == ".dll")
        base.resize(base.size() - 4);
    std::lock_guard<std::recursive_mutex> g(tablesMutex);
    if (base.empty() || librariesHidden) return 0;
    for (const std::string& path : candidates(base)) {
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) continue;
        // Identify the library by the loader's handle, so two spellings share one module.
        std::string key = std::to_string(reinterpret_cast<std::uintptr_t>(handle));
        if (auto it = libraryByPath.find(key); it != libraryByPath.end()) return it->second;
        auto lookup = reinterpret_cast<LookupFn>(dlsym(handle, "zw_resources"));
        if (!lookup) continue;  // not one of ours; it stays loaded, harmlessly
        std::size_t count = 0;
        const ResourceEntry* entries = lookup(&count);
        if (!entries) count = 0;
        tables.push_back({entries, count});
        Module m = tables.size() - 1;
        libraryByPath[key] = m;
        return m;
    }
    return 0;
}

void setLibrariesHidden(bool hidden) {
    std::lock_guard<std::recursive_mutex> g(tablesMutex);
    librariesHidden = hidden;
}

const unsigned char* findResource(Module module, const std::string& type, const std::string& name,
                                  std::size_t* size) {
    if (size) *size = 0;
    Table t;
    {
        std::lock_guard<std::recursive_mutex> g(tablesMutex);
        if (module == 0 || module >= tables.size()) return nullptr;
        t = tables[module];
    }
    for (std::size_t i = 0; i < t.count; ++i) {
        const ResourceEntry& e = t.entries[i];
        if (e.type && e.name && equalIgnoreCase(e.type, type) && equalIgnoreCase(e.name, name)) {
            if (size) *size = e.size;
            return e.data;
        }
    }
    return nullptr;
}

Bitmap::Bitmap() = default;

Bitmap Bitmap::load(Module module, const std::string& name) {
    Bitmap b;
    b.name_ = name;
    BitmapKey key(module, lowerCopy(name));
    {
        std::lock_guard<std::recursive_mutex> g(tablesMutex);
        if (auto it = bitmapCache.find(key); it != bitmapCache.end()) {
            b.data_ = it->second;
            return b;
        }
    }
    std::size_t size = 0;
    const unsigned char* bytes = findResource(module, "BITMAP", name, &size);
    if (!bytes || size == 0) return b;
    auto data = decode(bytes, size);
    if (!data) return b;
    std::lock_guard<std::recursive_mutex> g(tablesMutex);
    b.data_ = bitmapCache.emplace(key, data).first->second;
    if (!isPng(bytes, size) && warmedModules.insert(module).second)
        WarmUp::instance().start(module);
    return b;
}

bool bitmapDecoded(Module module, const std::string& name) {
    std::lock_guard<std::recursive_mutex> g(tablesMutex);
    return bitmapCache.count(BitmapKey(module, lowerCopy(name))) > 0;
}

int Bitmap::width() const { return data_ ? data_->image.width() : 0; }
int Bitmap::height() const { return data_ ? data_->image.height() : 0; }
int Bitmap::bitsPerPixel() const { return data_ ? data_->bitsPerPixel : 0; }

const QImage* bitmapImage(const Bitmap& bmp) { return bmp.data() ? &bmp.data()->image : nullptr; }

}  // namespace plat
