#include "changer/changer.h"

#include "changer/picture_sequence.h"
#include "changer/wallpaper_render.h"
#include "imaging/bmp_format.h"
#include "imaging/stream.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "settings/store_values.h"
#include "wallpaper_folder/folder_listing.h"

#include <exception>
#include <future>
#include <utility>

#if defined(_WIN32)
#include <process.h>
#define NIMBREL_PROCESS_ID _getpid
#else
#include <unistd.h>
#define NIMBREL_PROCESS_ID getpid
#endif

namespace nimbrel::changer {
namespace {

// Store writes come one value at a time (a save writes fourteen): the changer acts once
// they have been quiet this long.
constexpr auto StoreSettleTime = std::chrono::milliseconds(150);

long long SecondsSinceEpoch(std::chrono::system_clock::time_point when) {
    return std::chrono::duration_cast<std::chrono::seconds>(when.time_since_epoch()).count();
}

} // namespace

Changer::Changer(DesktopBackend& desktop, ChangerPlaces places, ChangerClock clock, MessageSink say)
    : desktop_(desktop), places_(std::move(places)), clock_(clock), say_(std::move(say)),
      state_(ReadChangerState(places_)) {
    settings_.folder = ProgramFolderFallback();
}

void Changer::SayOnce(std::string& last, const std::string& message) {
    if (message != last)
        say_(message);
    last = message;
}

void Changer::ReadSettings() {
    if (std::optional<ChangerSettings> read = ReadChangerSettings()) {
        if (!lastStoreProblem_.empty())
            say_("the settings store can be read again");
        lastStoreProblem_.clear();
        settings_ = std::move(*read);
        settingsRead_ = true;
        return;
    }
    SayOnce(lastStoreProblem_, "cannot read the settings store " + platform::RegistryLocation() +
                                   (settingsRead_ ? "; the last settings read stay in force"
                                                  : "; the defaults apply"));
}

std::vector<std::string> Changer::Pictures() {
    std::vector<std::string> pictures = ListPictures(settings_.folder);
    if (!pictures.empty()) {
        lastFolderProblem_.clear();
    } else if (!platform::DirectoryExists(settings_.folder)) {
        SayOnce(lastFolderProblem_, "the wallpaper folder " + settings_.folder +
                                        " is not there; the wallpaper stays as it is");
    } else {
        SayOnce(lastFolderProblem_, "the wallpaper folder " + settings_.folder +
                                        " holds no picture; the wallpaper stays as it is");
    }
    return pictures;
}

std::optional<Changer::Prepared> Changer::TakePrepared(const RenderFor& wanted) {
    // A render still under way at idle priority may wait long on a busy machine: the
    // change renders the picture itself rather than wait for it.
    if (!(preparedFor_ == wanted) || !NextPictureRendered())
        return std::nullopt;
    std::optional<Prepared> prepared = prepared_.get();
    if (!prepared || !prepared->pixels || prepared->pixels->Width() != wanted.screen.width ||
        prepared->pixels->Height() != wanted.screen.height)
        return std::nullopt;
    return prepared;
}

bool Changer::NextPictureRendered() const {
    return prepared_.valid() &&
           prepared_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

Changer::Outcome Changer::Show(const std::string& name, bool mayUsePrepared) {
    try {
        const ScreenLayout screen = desktop_.Screen();
        std::unique_ptr<TBitmap> wallpaper;
        std::string file;
        if (std::optional<Prepared> prepared =
                mayUsePrepared ? TakePrepared({name, settings_.folder, screen, settings_.sizing})
                               : std::nullopt) {
            wallpaper = std::move(prepared->pixels);
            // NEXTPIC.BMP becomes NIMBREL.BMP beside it, by its name alone.
            const std::string shown = wallpaper::JoinPath(
                prepared->file.substr(0, prepared->file.find_last_of('\\')), ShownBitmapName);
            if (!prepared->file.empty() &&
                platform::MoveFileReplacing(prepared->file, shown) == platform::ErrorSuccess)
                file = shown;
        }
        if (!wallpaper)
            wallpaper = RenderWallpaper(wallpaper::JoinPath(settings_.folder, name), screen,
                                        settings_.sizing);
        if (file.empty())
            file = WriteWallpaperBitmap(*wallpaper, settings_.folder, ShownBitmapName, places_);
        desktop_.Show(*wallpaper, file);
    } catch (const EPictureNotShown& error) {
        say_(wallpaper::JoinPath(settings_.folder, name) + ": cannot be shown (" + error.what() +
             "); skipped");
        return Outcome::PictureNotShown;
    } catch (const std::exception& error) {
        say_("cannot set the wallpaper on the " + desktop_.Name() + ": " + error.what());
        return Outcome::WallpaperNotSet;
    }
    if (state_.nextPrepared == name)
        state_.nextPrepared.clear();
    state_.folder = settings_.folder;
    state_.current = name;
    lastChange_ = clock_.Now();
    say_("wallpaper: " + wallpaper::JoinPath(settings_.folder, name));
    return Outcome::Shown;
}

bool Changer::ChangeToNext() {
    const std::vector<std::string> pictures = Pictures();
    // Tried or not, the next change is an interval away: a folder without a picture that
    // can be shown is not tried again at once.
    lastChange_ = clock_.Now();
    if (pictures.empty())
        return false;
    std::vector<std::string> candidates;
    if (Lists(pictures, askedNext_))
        candidates.push_back(askedNext_);
    askedNext_.clear();
    const std::string after = state_.folder == settings_.folder ? state_.current : std::string();
    for (std::string& name : RotationAfter(pictures, after))
        candidates.push_back(std::move(name));
    for (const std::string& name : candidates) {
        switch (Show(name, true)) {
        case Outcome::Shown:
            PrepareNext();
            return true;
        case Outcome::WallpaperNotSet:
            return false;
        case Outcome::PictureNotShown:
            break;
        }
    }
    SayOnce(lastFolderProblem_,
            "no picture of " + settings_.folder + " can be shown; the wallpaper stays as it is");
    return false;
}

void Changer::PrepareNext() {
    state_.next.clear();
    const std::vector<std::string> pictures = ListPictures(settings_.folder);
    if (!askedNext_.empty())
        state_.next = askedNext_;
    else if (const std::vector<std::string> rotation = RotationAfter(pictures, state_.current);
             !rotation.empty())
        state_.next = rotation.front();
    if (!prepareAhead_ || state_.next.empty() || state_.next == state_.current) {
        SaveState();
        return;
    }
    try {
        RenderFor wanted{state_.next, settings_.folder, desktop_.Screen(), settings_.sizing};
        if (!prepared_.valid() || !(preparedFor_ == wanted)) {
            if (prepared_.valid())
                prepared_.wait(); // one render ahead at a time, so NEXTPIC.BMP is the last
            preparedFor_ = wanted;
            state_.nextPrepared = wanted.name;
            prepared_ = std::async(std::launch::async, [wanted, places = places_] {
                platform::SetCurrentThreadIdlePriority();
                std::optional<Prepared> prepared;
                try {
                    prepared.emplace();
                    prepared->pixels =
                        RenderWallpaper(wallpaper::JoinPath(wanted.folder, wanted.name),
                                        wanted.screen, wanted.sizing);
                    prepared->file = WriteWallpaperBitmap(*prepared->pixels, wanted.folder,
                                                          NextBitmapName, places);
                } catch (const EWallpaperNotWritten&) {
                    // The change writes NIMBREL.BMP from the pixels.
                } catch (const std::exception&) {
                    // The change itself finds out and says why.
                    prepared.reset();
                }
                return prepared;
            });
        }
    } catch (const std::exception&) {
        // The screen cannot be asked: the change finds out and says why.
    }
    SaveState();
}

void Changer::SaveState() {
    state_.processId = NIMBREL_PROCESS_ID();
    state_.nextChangeAt = 0;
    if (lastChange_) {
        const auto left = *lastChange_ + clock_.Minutes(settings_.intervalMinutes) - clock_.Now();
        state_.nextChangeAt = SecondsSinceEpoch(
            std::chrono::system_clock::now() +
            std::chrono::duration_cast<std::chrono::system_clock::duration>(left));
    }
    (void)WriteChangerState(places_, state_); // a lost state file only forgets the rotation
}

bool Changer::HonourRequests(bool changeFollows) {
    const Requests requests = ReadRequests();
    if (!requests.Any())
        return false;
    bool changed = false;
    // A request is taken only once it is consumed; a store that refuses the write (another
    // program holds it) keeps it for the next store write or change.
    auto consume = [&](std::string_view name, const std::string& seen, std::string_view to) {
        if (ConsumeRequest(name, seen, to)) {
            lastRequestProblem_.clear();
            return true;
        }
        const Requests now = ReadRequests();
        const std::string& still = name == store::ChangeTo    ? now.changeTo
                                   : name == store::SetAsNext ? now.setAsNext
                                                              : now.forceReload;
        if (still == seen)
            SayOnce(lastRequestProblem_, "the settings store " + platform::RegistryLocation() +
                                             " cannot be written now (another program holds "
                                             "it); the requests wait for it");
        return false;
    };
    if (requests.ForceReloadAsked() &&
        consume(store::ForceReload, requests.forceReload, store::No)) {
        ReadSettings();
        // A change about to happen renders with the settings just read anyway.
        if (!changeFollows && !state_.current.empty() && state_.folder == settings_.folder)
            changed = Show(state_.current, false) == Outcome::Shown;
    }
    std::vector<std::string> pictures;
    if (!requests.setAsNext.empty() || !requests.changeTo.empty())
        pictures = Pictures();
    if (!requests.setAsNext.empty() && consume(store::SetAsNext, requests.setAsNext, "")) {
        if (Lists(pictures, requests.setAsNext))
            askedNext_ = requests.setAsNext;
        else
            say_("SetAsNext: " + requests.setAsNext + " is not a picture of " + settings_.folder +
                 "; the request is dropped");
    }
    if (!requests.changeTo.empty() && consume(store::ChangeTo, requests.changeTo, "")) {
        if (Lists(pictures, requests.changeTo))
            changed = Show(requests.changeTo, true) == Outcome::Shown || changed;
        else
            say_("ChangeTo: " + requests.changeTo + " is not a picture of " + settings_.folder +
                 "; the request is dropped");
    }
    PrepareNext();
    return changed;
}

Changer::~Changer() {
    if (prepared_.valid())
        prepared_.wait();
}

bool Changer::ChangeOnce() {
    prepareAhead_ = false;
    return FirstChange();
}

bool Changer::FirstChange() {
    ReadSettings();
    // A "ChangeTo" waiting is this change; anything else asked goes before it.
    return HonourRequests(true) || ChangeToNext();
}

int Changer::Run(WakeSource& wakes) {
    bool changed = FirstChange();
    for (;;) {
        if (changed && settings_.exitOnChange)
            return 0;
        changed = false;
        SaveState();
        Wake wake = wakes.Wait(NextChangeDue());
        if (wake == Wake::StoreChanged) {
            // Let a save of many values finish before acting on it.
            do {
                wake = wakes.Wait(clock_.Now() + StoreSettleTime);
            } while (wake == Wake::StoreChanged);
            changed = TakeStoreChanges();
        }
        switch (wake) {
        case Wake::Stop:
            return 0;
        case Wake::Report:
            break; // the state file is written at the top of the loop
        case Wake::TimeUp:
            // A new interval takes effect at once: the change is due from the last one on.
            if (clock_.Now() < NextChangeDue())
                break;
            [[fallthrough]];
        case Wake::ChangeNow:
        case Wake::StoreChanged:
            ReadSettings();
            // A request still waiting (the store was held when it came) is this change.
            changed = HonourRequests(true) || ChangeToNext() || changed;
            break;
        }
    }
}

ChangerClock::Clock::time_point Changer::NextChangeDue() const {
    return lastChange_.value_or(clock_.Now()) + clock_.Minutes(settings_.intervalMinutes);
}

bool Changer::TakeStoreChanges() {
    const WallpaperSizing sizing = settings_.sizing;
    ReadSettings();
    if (HonourRequests(false))
        return true;
    // A new way of sizing shows on the current picture at once.
    if (sizing == settings_.sizing || state_.current.empty() || state_.folder != settings_.folder)
        return false;
    const bool changed = Show(state_.current, false) == Outcome::Shown;
    PrepareNext();
    return changed;
}

} // namespace nimbrel::changer
