#pragma once
// The wallpaper changer: at start and then every interval, the next picture of the
// wallpaper folder rendered for the screen, written as NIMBREL.BMP and shown on the
// desktop; the requests of the dialog honoured as the store reports them. It writes nothing
// into the store but the consumed requests, and never touches a picture file.
#include "changer/changer_clock.h"
#include "changer/changer_files.h"
#include "changer/changer_settings.h"
#include "changer/desktop_backend.h"
#include "changer/requests.h"

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nimbrel::changer {

// What wakes the changer between two changes.
enum class Wake {
    TimeUp,       // the deadline has come
    StoreChanged, // the settings store was written
    ChangeNow,    // someone (a second start) asks for a change now
    Report,       // someone (--status) asks for the state file to be written afresh
    Stop,         // the session ends
};

// The program's waiting: one blocking wait on every source of wakes, never a poll.
class WakeSource {
public:
    virtual ~WakeSource() = default;
    // Waits until something happens or the deadline passes (none: no deadline).
    virtual Wake Wait(std::optional<ChangerClock::Clock::time_point> deadline) = 0;
};

using MessageSink = std::function<void(const std::string& message)>;

class Changer {
public:
    Changer(DesktopBackend& desktop, ChangerPlaces places, ChangerClock clock, MessageSink say);

    // Waits for the next picture being rendered ahead, if any.
    ~Changer();
    Changer(const Changer&) = delete;
    Changer& operator=(const Changer&) = delete;

    // Reads the settings and the requests and changes the wallpaper once, without rendering
    // the next picture ahead (the program ends); answers whether it changed (false: no
    // picture could be shown).
    bool ChangeOnce();
    // Runs until ExitOnChange ends it after a change, or the wake source says Stop. The
    // first change happens at once. Answers the exit status.
    int Run(WakeSource& wakes);

    // Whether the next picture's render ahead is done (and not taken yet).
    bool NextPictureRendered() const;

    const ChangerSettings& Settings() const { return settings_; }
    const ChangerState& State() const { return state_; }

private:
    // Reads the settings; a store that cannot be read keeps the last ones, said once.
    void ReadSettings();
    ChangerClock::Clock::time_point NextChangeDue() const;
    // What a store write asks for: requests, or a new way of sizing; answers whether the
    // wallpaper changed.
    bool TakeStoreChanges();
    // Honours the requests found in the store; answers whether the wallpaper changed. When
    // a change follows at once, "ForceReload" only reads the settings again.
    bool HonourRequests(bool changeFollows);
    // Changes to the next picture (the one asked to be next, or the one after the current);
    // answers whether it changed.
    bool ChangeToNext();
    bool FirstChange();
    enum class Outcome { Shown, PictureNotShown, WallpaperNotSet };
    // Shows the named picture of the folder; says why when it cannot.
    Outcome Show(const std::string& name, bool mayUsePrepared);
    // What a picture is rendered for: a render made for another folder, screen or sizing
    // is not the one wanted any more.
    struct RenderFor {
        std::string name;
        std::string folder;
        ScreenLayout screen;
        WallpaperSizing sizing;
        bool operator==(const RenderFor&) const = default;
    };
    // The next picture rendered ahead: its pixels, and NEXTPIC.BMP written with them (its
    // path, empty when no place took it).
    struct Prepared {
        std::unique_ptr<TBitmap> pixels;
        std::string file;
    };
    // The wallpaper of `wanted` as rendered ahead; null when the next picture rendered ahead
    // is another, or its render is not done yet.
    std::optional<Prepared> TakePrepared(const RenderFor& wanted);
    // Renders the picture the next change shows into NEXTPIC.BMP ahead of time, on a thread
    // of idle priority.
    void PrepareNext();
    std::vector<std::string> Pictures();
    void SaveState();
    // Says a message only when it differs from the last one of its kind.
    void SayOnce(std::string& last, const std::string& message);

    DesktopBackend& desktop_;
    ChangerPlaces places_;
    ChangerClock clock_;
    MessageSink say_;
    ChangerSettings settings_;
    bool settingsRead_ = false;
    ChangerState state_;
    std::string askedNext_; // a "SetAsNext" not yet shown
    bool prepareAhead_ = true;
    // The next picture's render, under way or done, and what it is for; a change uses it
    // only when all still hold.
    RenderFor preparedFor_;
    std::future<std::optional<Prepared>> prepared_;
    std::optional<ChangerClock::Clock::time_point> lastChange_;
    std::string lastStoreProblem_;
    std::string lastFolderProblem_;
    std::string lastRequestProblem_;
};

} // namespace nimbrel::changer
