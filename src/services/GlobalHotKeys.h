#pragma once

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QKeyCombination>
#include <QObject>
#include <QSet>
#include <QString>
#include <cstdint>
#include <vector>

struct xcb_connection_t;

namespace larkspur {

// Key combinations reserved for the whole desktop through key grabs on the X11 root windows.
// Presses are announced by id on the main thread, one queued signal per press, in press order.
class GlobalHotKeys final : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    enum class Result {
        Registered,
        Taken,        // another client holds the combination: it stays silent
        NoKey,        // the keyboard map has no key for it
        Unsupported,  // a key or modifier this class cannot grab, or an id or combination in use
        Unavailable,  // no X11 connection (offscreen, or Wayland without XWayland)
        Failed,       // any other refusal by the X server
    };

    explicit GlobalHotKeys(QObject* parent = nullptr);
    ~GlobalHotKeys() override;
    GlobalHotKeys(const GlobalHotKeys&) = delete;
    GlobalHotKeys& operator=(const GlobalHotKeys&) = delete;

    bool isAvailable() const { return connection_ != nullptr; }
    // Letters, digits, F1–F35 and Space, with Shift, Control, Alt and Meta (Super).
    Result registerHotKey(quint32 id, QKeyCombination keys);
    void unregisterAll();
    QList<quint32> registeredIds() const;

    // "Alt+Shift+S": the name used in reports.
    static QString label(QKeyCombination keys);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

Q_SIGNALS:
    void activated(quint32 id);

private:
    struct Grab {
        quint32 id;
        QKeyCombination keys;
        std::vector<std::uint8_t> keycodes;
        std::uint16_t modifiers;
    };

    void readModifierMap();
    std::vector<std::uint16_t> lockVariants() const;
    void ungrab(const Grab& grab) const;
    bool isRoot(std::uint32_t window) const;
    bool connectionAlive() const;

    xcb_connection_t* connection_ = nullptr;
    std::vector<std::uint32_t> roots_;
    std::vector<Grab> grabs_;
    // Keys pressed and not yet released, and when each was last released: a key held down
    // counts as one press however often it repeats.
    QSet<std::uint8_t> held_;
    QHash<std::uint8_t, std::uint32_t> releasedAt_;
    std::uint16_t altMask_ = 0;
    std::uint16_t superMask_ = 0;
    std::uint16_t numLockMask_ = 0;
    std::uint16_t scrollLockMask_ = 0;
    bool toldUnavailable_ = false;
};

}  // namespace larkspur
