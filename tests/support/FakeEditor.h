#pragma once

// An editor for tests of the plug-in base and the binding: it records what
// the plug-in tells it and opens no window. The plug-in base owns and deletes
// it; its counters live in a Log that the test keeps, so they can be read
// after the editor is gone.

#include <vector>

#include "framework/IEditor.h"

namespace sorvano::test {

class FakeEditor : public IEditor {
public:
  struct ParamUpdate {
    int mIndex;
    double mValue;
    bool mNormalized;
  };

  struct Log {
    std::vector<ParamUpdate> mUpdates;
    int mPrepareDraw = 0;
    int mOpen = 0;
    int mClose = 0;
    bool mDestroyed = false;
  };

  FakeEditor(Log* log, int width = 640, int height = 540, bool opens = true)
      : mLog(log), mWidth(width), mHeight(height), mOpens(opens) {}
  ~FakeEditor() override { mLog->mDestroyed = true; }

  void SetParameterFromPlugin(int paramIdx, double value, bool normalized) override {
    mLog->mUpdates.push_back({paramIdx, value, normalized});
  }
  void PrepareDraw() override { ++mLog->mPrepareDraw; }
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  void* OpenWindow(void* parent) override {
    ++mLog->mOpen;
    return mOpens ? (parent ? parent : this) : nullptr;
  }
  void CloseWindow() override { ++mLog->mClose; }

private:
  Log* mLog;
  int mWidth;
  int mHeight;
  bool mOpens;
};

}  // namespace sorvano::test
