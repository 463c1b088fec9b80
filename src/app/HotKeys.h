#pragma once

#include <QObject>
#include <memory>

#include "integrations/SharedManagers.h"

namespace larkspur {

class GlobalHotKeys;

// The three desktop-wide shortcuts (Alt is the Option key) and their actions on the floating
// panel and on the most recent timer, which is the last one in the timer manager's list.
class HotKeys final : public QObject {
    Q_OBJECT
public:
    enum Id : quint32 { TogglePanel = 1, StartPause = 2, Reset = 3 };

    explicit HotKeys(const SharedManagers& shared, QObject* parent = nullptr);
    ~HotKeys() override;

    // Grabs Alt+Shift+T, S and R once; a combination another program holds stays silent.
    void registerHotKey();
    GlobalHotKeys* keys() const { return keys_.get(); }

    // What a press of the key with this id does; unknown ids do nothing.
    void handle(quint32 id) const;
    void togglePanel() const;
    void toggleMostRecentTimer() const;
    void resetMostRecentTimer() const;

private:
    const SharedManagers& shared_;
    std::unique_ptr<GlobalHotKeys> keys_;
};

}  // namespace larkspur
