#include "support/AudioPlayer.h"
#include "capture/SetRegionForm.h"
#include "settings/SettingsUnit.h"
#include "support/WaveFile.h"
#include "unit/fakes/FakeSetRegionHost.h"
#include "unit/fakes/FakeTextRasterizer.h"

#include <chrono>
#include <gtest/gtest.h>
#include <map>

namespace {
// An audio output whose streams end when the test says so.
class TFakeAudio final : public TAudioDevice {
public:
    struct TLog {
        std::vector<std::wstring> Calls;
        std::map<TStream, std::function<void()>> Playing;
    };
    explicit TFakeAudio(TLog& log, bool available = true) : FLog(log), FAvailable(available) {}
    bool Available() const override { return FAvailable; }
    TStream OpenStream(const std::wstring& file) override {
        FLog.Calls.push_back(L"open " + file);
        return file.empty() ? 0 : ++FNext;
    }
    bool Play(TStream s, std::function<void()> onEnd) override {
        FLog.Calls.push_back(L"play " + std::to_wstring(s));
        FLog.Playing[s] = std::move(onEnd);
        return true;
    }
    void Free(TStream s) override {
        FLog.Calls.push_back(L"free " + std::to_wstring(s));
        FLog.Playing.erase(s);
    }

private:
    TLog& FLog;
    bool FAvailable;
    TStream FNext = 0;
};

TEST(AudioPlayer, OpenCutsOffAndTheEndClosesTheStream) {
    TFakeAudio::TLog log;
    TAudioPlayer player(std::make_unique<TFakeAudio>(log));
    int ended = 0;
    player.OnEndPlaying = [&](TAudioPlayer& p) { ended += p.Mode() == apmClose; };
    player.PlayFile(L"a.wav");
    auto endOfFirst = log.Playing.at(1);
    player.PlayFile(L"a.wav");
    EXPECT_EQ(log.Calls, (std::vector<std::wstring>{L"open a.wav", L"play 1", L"free 1",
                                                    L"open a.wav", L"play 2"}));
    endOfFirst(); // late end of the sound cut off: the new one plays on
    EXPECT_EQ(player.Mode(), apmPlay);
    EXPECT_EQ(ended, 0);

    player.SetRange(10, 90);
    log.Playing.at(2)();
    EXPECT_EQ(player.Mode(), apmClose);
    EXPECT_EQ(player.StreamHandle(), 0u);
    EXPECT_EQ(player.MinPosition(), 0);
    EXPECT_EQ(player.MaxPosition(), 0);
    EXPECT_EQ(log.Calls.back(), L"free 2");
    EXPECT_EQ(ended, 1);
}

TEST(AudioPlayer, SilentWithoutOutputOrFile) {
    TFakeAudio::TLog log;
    TAudioPlayer noOutput(std::make_unique<TFakeAudio>(log, false));
    EXPECT_NO_THROW(noOutput.PlayFile(L"a.wav"));
    EXPECT_THROW(noOutput.Open(), EAudioUnavailable);
    TAudioPlayer noDevice(nullptr);
    EXPECT_NO_THROW(noDevice.PlayFile(L"a.wav"));
    TAudioPlayer noFile(std::make_unique<TFakeAudio>(log));
    noFile.PlayFile(L"");
    EXPECT_EQ(noFile.Mode(), apmClose);
    EXPECT_FALSE(noFile.Play());
    EXPECT_EQ(log.Calls, std::vector<std::wstring>{L"open "});
}

TEST(AudioPlayer, AThrowingPlayerLeavesTheCaptureIntact) {
    struct TThrowing final : TSoundPlayer {
        void PlayFile(const std::wstring&) override { throw std::runtime_error("no audio"); }
    } player;
    const TSettings saved = Settings;
    Settings = TSettings{};
    TFakeSetRegionHost host;
    TFakeTextRasterizer text;
    TSetRegionForm form(host, text);
    form.SetSoundPlayer(&player, L"screenshoot.wav");
    form.StartSelectRegion(2);
    const TBitmap32 image = form.GetBitmap();
    Settings = saved;
    EXPECT_EQ(image.Width(), 800);
    EXPECT_GT(image.Height(), 0);
}

TEST(WaveFile, ReadsWhatItWritesAndRejectsTheRest) {
    const std::int16_t samples[] = {0, 1000, -1000, 32767, -32768};
    auto file = BuildWave16(samples, 44100, 1);
    const auto wave = ParseWave(file);
    ASSERT_TRUE(wave);
    EXPECT_EQ(wave->SamplesPerSec, 44100u);
    EXPECT_EQ(wave->Samples.size(), sizeof(samples));
    auto odd = file;
    odd.push_back(7); // half a block is never played
    EXPECT_EQ(ParseWave(odd)->Samples.size(), sizeof(samples));
    auto compressed = file;
    compressed[20] = 2; // ADPCM
    for (const auto& bad : {compressed, std::vector<std::uint8_t>(file.begin(), file.begin() + 40),
                            std::vector<std::uint8_t>{}})
        EXPECT_FALSE(ParseWave(bad));
}
} // namespace
