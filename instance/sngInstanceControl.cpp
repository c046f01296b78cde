// The single-instance guard: registering in the shared block, refusing a copy over the
// limit, and giving the place up again.
#include "instance/sngInstanceControl.h"

#include <cstring>
#include <system_error>
#include <vector>

#include "platform/app.h"
#include "platform/raise.h"
#include "platform/sharedblock.h"

namespace instance {
namespace {

TsngInstanceControl* theInstance = nullptr;

std::uint32_t readLE(const void* view, std::size_t offset) {
    unsigned char b[4];
    std::memcpy(b, static_cast<const unsigned char*>(view) + offset, 4);
    return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
           std::uint32_t(b[3]) << 24;
}

void writeLE(void* view, std::size_t offset, std::uint32_t v) {
    unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                          static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    std::memcpy(static_cast<unsigned char*>(view) + offset, b, 4);
}

// The finalization has to run after main returns, also when nobody destroys the window.
struct Finalizer {
    ~Finalizer() { sngInstanceControlFinal(); }
} finalizer;

}  // namespace

struct TsngInstanceControl::Impl {
    plat::Form* owner = nullptr;
    // Every handle stays open while the component lives: holding one keeps the block, and
    // with it the count, alive for the copies that still run.
    std::vector<plat::SharedBlockHandle> handles;
    std::vector<void*> views;
    // This copy raised the count, so it is the one to lower it; a copy whose block could
    // not be opened, or that ran disabled, never touches the count on its way out.
    bool registered = false;
    bool destroyed = false;
    bool raiseFormSet = false;

    void release() {
        for (void* v : views) plat::unmapSharedBlock(v, BlockSize);
        views.clear();
        for (plat::SharedBlockHandle h : handles) plat::closeSharedBlock(h);
        handles.clear();
    }
};

TsngInstanceControl::TsngInstanceControl(plat::Form* AOwner) {
    if (theInstance)
        throw EInstanceControl("Only one copy of this component can be dropped on a form!");
    d = std::make_unique<Impl>();
    d->owner = AOwner;
    theInstance = this;
}

TsngInstanceControl::~TsngInstanceControl() { Destroy(); }

std::string TsngInstanceControl::MappingName(const std::string& exePath) {
    std::string noBackslash;
    for (char c : exePath)
        if (c != '\\') noBackslash += c;
    std::string name;
    for (char c : noBackslash)
        if (c != ' ') name += c;
    return name;
}

void TsngInstanceControl::Loaded() {
    if (!Enabled) return;
    // Without our own path we cannot tell our copies from other programs': no limit.
    const std::string exe = plat::exePath();
    if (exe.empty()) return;
    mappingName_ = MappingName(exe);
    // Holding the start-up lock from the look at the count to its raise keeps two copies
    // started at the same moment from both getting in. Without it the count cannot be
    // trusted, so the start-up fails as it does when the block cannot be made.
    plat::SharedBlockLock startup(mappingName_);
    if (int e = startup.error()) {
        // Someone else's object at our name cannot be opened: run without a limit, so
        // nobody can keep the game from starting by putting one there.
        if (e == plat::foreignObject) return;
        if (e == static_cast<int>(std::errc::timed_out))
            throw plat::Exception(
                "Een ander exemplaar van dit programma blijft hangen bij het opstarten; "
                "dit exemplaar stopt.");
        throw plat::Exception(plat::systemErrorMessage(e));
    }

    bool existed = false;
    plat::SharedBlockHandle h = plat::createSharedBlock(mappingName_, BlockSize, existed);
    if (h == plat::noSharedBlock) {
        if (plat::lastSystemError() == plat::foreignObject) return;
        throw plat::Exception(plat::systemErrorMessage(plat::lastSystemError()));
    }
    d->handles.push_back(h);

    auto registerHere = [this](void* view, std::uint32_t count) {
        // Listen before the handle is published, so a request never finds nobody.
        std::uint32_t self = plat::raiseHandle();
        if (d->owner) {
            plat::setMainFormForRaise(d->owner);
            d->raiseFormSet = true;
        }
        writeLE(view, 0, self);
        writeLE(view, 4, count);
        d->registered = true;
    };

    // A copy that is not counted holds no handle past its start-up: one still held as the
    // counted copies end would keep their count alive for a start made after them.
    if (!existed) {
        void* view = plat::mapSharedBlock(h, BlockSize);
        if (!view) {  // cannot register: run unlimited rather than fail to start
            d->release();
            return;
        }
        d->views.push_back(view);
        registerHere(view, 1);
        return;
    }

    plat::SharedBlockHandle h2 = plat::openSharedBlock(mappingName_);
    void* view = nullptr;
    if (h2 != plat::noSharedBlock) {
        d->handles.push_back(h2);
        view = plat::mapSharedBlock(h2, BlockSize);
    }
    if (!view) {  // runs as if there were no limit, silently
        d->release();
        return;
    }
    d->views.push_back(view);

    std::uint32_t count = readLE(view, 4);
    if (count < MaxInstances) {
        registerHere(view, count + 1);
        return;
    }
    counted_ = false;
    std::uint32_t last = readLE(view, 0);
    d->release();
    startup.unlock();
    HandleMaxInstancesReached(last);
}

void TsngInstanceControl::HandleMaxInstancesReached(std::uint32_t LastInstanceHandle) {
    plat::Application::setShowMainForm(false);
    // This copy has no separate application window to hide.
    if (OnMaxInstancesReached) OnMaxInstancesReached(this, LastInstanceHandle);
    plat::bringForward(LastInstanceHandle);
    plat::Application::terminate();
}

void TsngInstanceControl::Destroy() {
    if (theInstance == this) theInstance = nullptr;
    if (!d || d->destroyed) return;
    d->destroyed = true;
    if (d->raiseFormSet && plat::mainFormForRaise() == d->owner) plat::setMainFormForRaise(nullptr);

    if (Enabled && counted_ && d->registered) {
        plat::SharedBlockLock lock(mappingName_);
        plat::SharedBlockHandle h = plat::openSharedBlock(mappingName_);
        void* view = h == plat::noSharedBlock ? nullptr : plat::mapSharedBlock(h, BlockSize);
        if (view) {
            // Offset 0 stays: it names the copy registered last, even when that is us.
            std::uint32_t count = readLE(view, 4);
            if (count > 0) writeLE(view, 4, count - 1);
            plat::unmapSharedBlock(view, BlockSize);
        }
        // Without the block the count cannot be lowered; destruction goes on regardless.
        if (h != plat::noSharedBlock) plat::closeSharedBlock(h);
    }
    d->release();
}

void sngInstanceControlFinal() {
    // Lowers the count without freeing: the window that owns the component frees it.
    if (theInstance) theInstance->Destroy();
}

}  // namespace instance
