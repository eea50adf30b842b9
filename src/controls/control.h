#pragma once
// The base of every control the dialog talks to. A control is toolkit-free: it holds its
// state and the rules of its events, and shows itself through a peer, the toolkit's window
// for it. The peer mirrors what the control tells it and reports what the user did through
// the control's "User..." calls; it never decides an event on its own.
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

// The modifier keys held with a key, as bits.
using TShiftState = unsigned;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;

// What every toolkit window of a control does for it.
class TControlPeer {
public:
    virtual ~TControlPeer() = default;
    // Text in code page 1250; "&" marks the access key where the control has a caption.
    virtual void ShowCaption(std::string_view caption) = 0;
    virtual void ShowEnabled(bool enabled) = 0;
    virtual void TakeFocus() = 0;
    virtual bool HasFocus() const = 0;
    // The window's top-left corner in screen pixels.
    virtual TPoint ScreenOrigin() const = 0;
};

class TControl {
public:
    explicit TControl(std::string name) : name_(std::move(name)) {}
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;
    virtual ~TControl() = default;

    // The name the layout tables, the tests and the help resolution know it by.
    const std::string& Name() const { return name_; }

    // The control it lies on; the window itself has none.
    TControl* Parent() const { return parent_; }
    void SetParent(TControl* parent);
    const std::vector<TControl*>& Children() const { return children_; }
    // True for the container itself and everything on it, at any depth.
    bool IsInside(const TControl* container) const;

    // Context help number; 0 means "ask the parent".
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int context) { helpContext_ = context; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string_view caption);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    bool Focused() const { return peer_ != nullptr && peer_->HasFocus(); }
    void SetFocus();
    // The top-left corner on the screen; (0, 0) while the control has no window.
    TPoint ScreenOrigin() const;

    // For the frontend: the window that shows this control. Attaching shows the control's
    // whole state in it; the peer must be detached (or the control gone) before the peer
    // is destroyed.
    void AttachPeer(TControlPeer* peer);
    void DetachPeer() { AttachPeer(nullptr); }
    TControlPeer* Peer() const { return peer_; }

protected:
    // Shows the state of the derived control in a freshly attached peer.
    virtual void ShowState() {}
    template <class Peer> Peer* PeerAs() const { return static_cast<Peer*>(peer_); }

private:
    std::string name_;
    TControl* parent_ = nullptr;
    std::vector<TControl*> children_;
    int helpContext_ = 0;
    std::string caption_;
    bool enabled_ = true;
    TControlPeer* peer_ = nullptr;
};

} // namespace nimbrel
