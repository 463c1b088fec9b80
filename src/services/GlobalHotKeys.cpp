#include "services/GlobalHotKeys.h"

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>
#include <QKeySequence>
#include <cstdlib>
#include <memory>
#include <optional>

#include "platform/Log.h"

namespace larkspur {

namespace {

constexpr xcb_keysym_t kSpace = 0x0020;
constexpr xcb_keysym_t kF1 = 0xffbe;
constexpr xcb_keysym_t kNumLock = 0xff7f;
constexpr xcb_keysym_t kScrollLock = 0xff14;
constexpr xcb_keysym_t kMetaL = 0xffe7, kMetaR = 0xffe8;
constexpr xcb_keysym_t kAltL = 0xffe9, kAltR = 0xffea;
constexpr xcb_keysym_t kSuperL = 0xffeb, kSuperR = 0xffec;
// The eight core modifier bits; higher bits of a state carry buttons and the XKB group.
constexpr std::uint16_t kModifierBits = 0xff;

struct KeySymbolsFree {
    void operator()(xcb_key_symbols_t* symbols) const { xcb_key_symbols_free(symbols); }
};
using KeySymbols = std::unique_ptr<xcb_key_symbols_t, KeySymbolsFree>;

struct MallocFree {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, MallocFree>;

xcb_connection_t* x11Connection() {
    if (!qGuiApp) return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

std::optional<xcb_keysym_t> keysymFor(Qt::Key key) {
    // Lower-case letters: the keysym on a key's first level, which is what the keymap lists.
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return xcb_keysym_t(key - Qt::Key_A + 'a');
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return xcb_keysym_t(key - Qt::Key_0 + '0');
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35) return xcb_keysym_t(key - Qt::Key_F1 + kF1);
    if (key == Qt::Key_Space) return kSpace;
    return std::nullopt;
}

std::uint16_t modifierBit(int index) {
    return std::uint16_t(1u << index);
}

}  // namespace

GlobalHotKeys::GlobalHotKeys(QObject* parent) : QObject(parent) {
    connection_ = x11Connection();
    if (!connection_ || xcb_connection_has_error(connection_)) {
        connection_ = nullptr;
        return;
    }
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection_)); it.rem;
         xcb_screen_next(&it))
        roots_.push_back(it.data->root);
    readModifierMap();
    QCoreApplication::instance()->installNativeEventFilter(this);
}

GlobalHotKeys::~GlobalHotKeys() {
    if (!connectionAlive()) return;
    QCoreApplication::instance()->removeNativeEventFilter(this);
    unregisterAll();
}

bool GlobalHotKeys::connectionAlive() const {
    return connection_ && x11Connection() == connection_;
}

QString GlobalHotKeys::label(QKeyCombination keys) {
    return QKeySequence(keys).toString(QKeySequence::PortableText);
}

QList<quint32> GlobalHotKeys::registeredIds() const {
    QList<quint32> ids;
    for (const Grab& grab : grabs_) ids.append(grab.id);
    return ids;
}

void GlobalHotKeys::readModifierMap() {
    KeySymbols symbols(xcb_key_symbols_alloc(connection_));
    Reply<xcb_get_modifier_mapping_reply_t> map(xcb_get_modifier_mapping_reply(
        connection_, xcb_get_modifier_mapping(connection_), nullptr));
    std::uint16_t meta = 0;
    if (symbols && map) {
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(map.get());
        const int perModifier = map->keycodes_per_modifier;
        // Mod1 to Mod5 only: Shift, Lock and Control have fixed meanings.
        for (int mod = 3; mod < 8; ++mod) {
            for (int i = 0; i < perModifier; ++i) {
                const xcb_keycode_t code = codes[mod * perModifier + i];
                if (code == 0) continue;
                for (int column = 0; column < 4; ++column) {
                    const xcb_keysym_t sym =
                        xcb_key_symbols_get_keysym(symbols.get(), code, column);
                    std::uint16_t* target = nullptr;
                    if (sym == kAltL || sym == kAltR) target = &altMask_;
                    if (sym == kMetaL || sym == kMetaR) target = &meta;
                    if (sym == kSuperL || sym == kSuperR) target = &superMask_;
                    if (sym == kNumLock) target = &numLockMask_;
                    if (sym == kScrollLock) target = &scrollLockMask_;
                    if (target && *target == 0) *target = modifierBit(mod);
                }
            }
        }
    }
    // The usual places, should the map not name them.
    if (altMask_ == 0) altMask_ = meta ? meta : std::uint16_t(XCB_MOD_MASK_1);
    if (superMask_ == 0) superMask_ = std::uint16_t(XCB_MOD_MASK_4);
}

std::vector<std::uint16_t> GlobalHotKeys::lockVariants() const {
    // A grab matches the exact modifier state, so every on/off mix of the locks needs its own.
    std::vector<std::uint16_t> locks{XCB_MOD_MASK_LOCK};
    if (numLockMask_) locks.push_back(numLockMask_);
    if (scrollLockMask_ && scrollLockMask_ != numLockMask_) locks.push_back(scrollLockMask_);
    std::vector<std::uint16_t> variants;
    for (unsigned subset = 0; subset < (1u << locks.size()); ++subset) {
        std::uint16_t mask = 0;
        for (std::size_t i = 0; i < locks.size(); ++i)
            if (subset & (1u << i)) mask |= locks[i];
        variants.push_back(mask);
    }
    return variants;
}

GlobalHotKeys::Result GlobalHotKeys::registerHotKey(quint32 id, QKeyCombination keys) {
    const QString name = label(keys);
    if (!connectionAlive()) {
        if (!toldUnavailable_)
            logLine(QStringLiteral("Global hot keys are unavailable: no X11 display"));
        toldUnavailable_ = true;
        return Result::Unavailable;
    }

    const auto keysym = keysymFor(keys.key());
    const Qt::KeyboardModifiers mods = keys.keyboardModifiers();
    constexpr Qt::KeyboardModifiers supported =
        Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    bool inUse = false;
    for (const Grab& grab : grabs_) inUse = inUse || grab.id == id || grab.keys == keys;
    if (!keysym || (mods & ~supported) || inUse) {
        logLine(QStringLiteral("Hot key %1 cannot be registered").arg(name));
        return Result::Unsupported;
    }

    Grab grab{id, keys, {}, 0};
    if (mods & Qt::ShiftModifier) grab.modifiers |= XCB_MOD_MASK_SHIFT;
    if (mods & Qt::ControlModifier) grab.modifiers |= XCB_MOD_MASK_CONTROL;
    if (mods & Qt::AltModifier) grab.modifiers |= altMask_;
    if (mods & Qt::MetaModifier) grab.modifiers |= superMask_;

    KeySymbols symbols(xcb_key_symbols_alloc(connection_));
    if (symbols) {
        Reply<xcb_keycode_t> codes(xcb_key_symbols_get_keycode(symbols.get(), *keysym));
        for (const xcb_keycode_t* c = codes.get(); c && *c != XCB_NO_SYMBOL; ++c)
            grab.keycodes.push_back(*c);
    }
    if (grab.keycodes.empty()) {
        logLine(QStringLiteral("Hot key %1 has no key on this keyboard").arg(name));
        return Result::NoKey;
    }

    // Sent together and checked together: one round trip, not one per variant.
    std::vector<xcb_void_cookie_t> cookies;
    for (const std::uint32_t root : roots_)
        for (const std::uint8_t code : grab.keycodes)
            for (const std::uint16_t locks : lockVariants())
                cookies.push_back(xcb_grab_key_checked(connection_, 0, root, grab.modifiers | locks,
                                                       code, XCB_GRAB_MODE_ASYNC,
                                                       XCB_GRAB_MODE_ASYNC));
    bool taken = false;
    int otherError = 0;
    for (const xcb_void_cookie_t cookie : cookies) {
        Reply<xcb_generic_error_t> error(xcb_request_check(connection_, cookie));
        if (!error) continue;
        if (error->error_code == XCB_ACCESS)
            taken = true;
        else
            otherError = error->error_code;
    }
    if (taken || otherError) {
        // Half a grab would work only with some locks on: release it all.
        ungrab(grab);
        logLine(taken ? QStringLiteral("Hot key %1 is taken by another program").arg(name)
                      : QStringLiteral("Hot key %1 could not be registered (X error %2)")
                            .arg(name)
                            .arg(otherError));
        return taken ? Result::Taken : Result::Failed;
    }
    grabs_.push_back(std::move(grab));
    return Result::Registered;
}

void GlobalHotKeys::ungrab(const Grab& grab) const {
    // Releasing a combination this client does not hold is a no-op for the server.
    for (const std::uint32_t root : roots_)
        for (const std::uint8_t code : grab.keycodes)
            for (const std::uint16_t locks : lockVariants())
                xcb_ungrab_key(connection_, code, root, grab.modifiers | locks);
    xcb_flush(connection_);
}

void GlobalHotKeys::unregisterAll() {
    if (connectionAlive())
        for (const Grab& grab : grabs_) ungrab(grab);
    grabs_.clear();
    held_.clear();
    releasedAt_.clear();
}

bool GlobalHotKeys::isRoot(std::uint32_t window) const {
    for (const std::uint32_t root : roots_)
        if (root == window) return true;
    return false;
}

bool GlobalHotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (grabs_.empty() || eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) return false;
    // Press and release events share one layout.
    const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
    if (!isRoot(key->event)) return false;

    if (type == XCB_KEY_RELEASE) {
        if (!held_.remove(key->detail)) return false;
        releasedAt_.insert(key->detail, key->time);
        return true;
    }

    const std::uint16_t ignored = XCB_MOD_MASK_LOCK | numLockMask_ | scrollLockMask_;
    const std::uint16_t state = key->state & kModifierBits & ~ignored;
    for (const Grab& grab : grabs_) {
        if (grab.modifiers != state) continue;
        bool ours = false;
        for (const std::uint8_t code : grab.keycodes) ours = ours || code == key->detail;
        if (!ours) continue;
        // Auto-repeat is a press with no release between, or, for clients that did not ask the
        // server to tell repeats apart, a release and a press with the same time stamp.
        const bool repeat = held_.contains(key->detail) ||
                            releasedAt_.value(key->detail, key->time + 1) == key->time;
        held_.insert(key->detail);
        if (repeat) return true;
        // The action runs after the event has been handled, never inside X event processing.
        const quint32 id = grab.id;
        QMetaObject::invokeMethod(
            this, [this, id] { Q_EMIT activated(id); }, Qt::QueuedConnection);
        return true;
    }
    return false;
}

}  // namespace larkspur
