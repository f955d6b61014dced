#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "engine/Sorvano.h"
#include "editor/ViewLink.h"
#include "tests/alloc/AllocationCounter.h"
#include "tests/engine/TimelineHost.h"

namespace sorvano {
namespace {

// A view that only counts, like the real one only raises a flag.
class CountingView : public ViewLink {
public:
  void OnFramesPublished() override { ++mPublished; }
  void SetSampleRate(double) override {}
  void SetDisplay(double, int) override {}
  SavedViewState SaveState() override { return {}; }
  void RestoreState(const SavedViewState&) override {}
  int mPublished = 0;
};

TEST(AllocationCounter, SeesTheAllocationsItIsMeantToCount) {
  test::AllocationCounter counter;
  void* volatile p = ::operator new(64);
  ::operator delete(p);
  void* volatile a = ::operator new[](64, std::align_val_t{64});
  ::operator delete[](a, std::align_val_t{64});
  if (test::CountsMalloc()) {
    void* volatile m = std::malloc(32);
    std::free(m);
  }
  counter.Stop();
  EXPECT_EQ(counter.Allocations(), test::CountsMalloc() ? 3u : 2u);
  EXPECT_EQ(counter.Releases(), counter.Allocations());
}

TEST(AudioPath, ProcessingAllocatesAndFreesNothing) {
  test::TimelineHost host;
  auto plug = std::make_unique<Sorvano>(test::TimelineHost::Callback());
  vst::AEffect* effect = host.Attach(*plug);
  host.Dispatch(vst::effOpen);
  host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
  host.Dispatch(vst::effSetBlockSize, 0, 2048);
  host.Dispatch(vst::effMainsChanged, 0, 1);
  CountingView view;
  plug->ConnectEditorViews(&view, nullptr);

  constexpr int kMax = 2048;
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> sample(-1.0, 1.0);
  std::uniform_int_distribution<int> size(1, kMax);
  std::vector<double> dl(kMax), dr(kMax), dol(kMax), dor(kMax);
  std::vector<float> fl(kMax), fr(kMax), fol(kMax), fofr(kMax);
  for (int i = 0; i < kMax; ++i) {
    dl[size_t(i)] = sample(rng);
    dr[size_t(i)] = sample(rng);
    fl[size_t(i)] = float(sample(rng));
    fr[size_t(i)] = float(sample(rng));
  }
  double* din[2] = {dl.data(), dr.data()};
  double* dout[2] = {dol.data(), dor.data()};
  float* fin[2] = {fl.data(), fr.data()};
  float* fout[2] = {fol.data(), fofr.data()};
  std::vector<Complex> frames(SpectralRing::kMaxRead);

  std::size_t allocations = 0;
  std::size_t releases = 0;
  int64_t pos = 0;
  for (int block = 0; block < 600; ++block) {
    // Editor-side changes between blocks may allocate; they are not counted.
    if (block % 7 == 0) {
      const ModRegion region{int(pos) + 1000, int(pos) + 9000, 100 + block, 4000 + block, 0, 0};
      plug->AddMod(&region, 0.5, (block % 14 == 0) ? 0.5 : 0.0);
    }
    if (block % 11 == 0) plug->ToggleModSolo(block % 5);
    if (block % 13 == 0) plug->ToggleModMute(block % 3);
    if (block % 17 == 0) plug->ToggleModBypass(block % 4);
    if (block % 19 == 0) {
      const ModRegion region{int(pos), int(pos) + 20000, 200, 8000, 0, 0};
      plug->UpdateMod(0, &region, 2.0, 0.25);
    }
    if (block % 23 == 0) plug->DeleteMod(1);
    if (block % 150 == 149) plug->ClearMods();
    // Transport jumps now and then; otherwise a continuous timeline.
    if (block % 40 == 39) pos += 100000;
    host.SetPosition(double(pos));
    const int n = size(rng);

    test::AllocationCounter counter;
    switch (block % 3) {
      case 0:
        effect->processDoubleReplacing(effect, din, dout, n);
        break;
      case 1:
        effect->processReplacing(effect, fin, fout, n);
        break;
      default:
        effect->process(effect, fin, fout, n);
        break;
    }
    int framePos = 0;
    plug->ReadSpectralFrames(frames.data(), &framePos);
    counter.Stop();
    allocations += counter.Allocations();
    releases += counter.Releases();
    pos += n;
  }
  EXPECT_EQ(allocations, 0u);
  EXPECT_EQ(releases, 0u);
  EXPECT_GT(view.mPublished, 100);  // frames went through the ring meanwhile
}

}  // namespace
}  // namespace sorvano
