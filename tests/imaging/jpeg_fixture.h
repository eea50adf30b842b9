#pragma once
// Helpers of the JPEG picture tests: loading bytes, counting decodes, restoring the
// process-wide defaults and screen after a test.
#include "imaging/jpeg_image.h"
#include "imaging/screen.h"

#include <gtest/gtest.h>

#include <vector>

namespace nimbrel::test {

inline TMemoryStream StreamOf(const std::vector<std::uint8_t>& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), bytes.size());
    stream.SetPosition(0);
    return stream;
}

inline void LoadBytes(TJPEGImage& picture, const std::vector<std::uint8_t>& bytes) {
    TMemoryStream stream = StreamOf(bytes);
    picture.LoadFromStream(stream);
}

// Records the notifications of one picture.
struct Listener {
    explicit Listener(TGraphic& picture) {
        picture.OnChange = [this](TGraphic&) { ++changes; };
        picture.OnProgress = [this](TGraphic&, TProgressStage stage, std::uint8_t percent,
                                    bool redraw, const TRect& r, const std::string& msg) {
            reports.push_back({stage, percent, redraw, r, msg});
            if (stage == TProgressStage::psStarting)
                ++decodes;
        };
    }
    struct Report {
        TProgressStage stage;
        std::uint8_t percent;
        bool redraw;
        TRect rect;
        std::string msg;
    };
    int changes = 0;
    int decodes = 0;
    std::vector<Report> reports;
};

// Restores the defaults, the screen and the clock when a test ends.
class JpegTest : public ::testing::Test {
protected:
    void TearDown() override {
        JpegPictureDefaults() = saved_;
        OverrideScreenColorBits(0);
        OverrideTickCount({});
    }
    // A clock that moves a second on every reading, so that every progress call is due.
    static void UseFastClock() {
        OverrideTickCount([tick = std::uint32_t{1000}]() mutable { return tick += 1000; });
    }

private:
    TJPEGDefaults saved_ = JpegPictureDefaults();
};

} // namespace nimbrel::test
