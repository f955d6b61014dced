#pragma once

// Test doubles for the graphics core: a plug-in that records what the editor
// asks of it, a graphics object that records drawing calls instead of
// painting, and a control that records the events it receives.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "framework/IEffectBase.h"
#include "graphics/IEditorControl.h"
#include "graphics/IEditorGraphics.h"

namespace sorvano::test {

// Three double parameters 0..10, default 5, so normalised = real / 10.
class FakePlug : public IEffectBase {
public:
  FakePlug() : IEffectBase(3, "1-1 2-2", 0, "Fake", "Fake", "Test", 0x00010104, 1234, 5678, 0, false, true, false) {
    for (int i = 0; i < NParams(); ++i) GetParam(i)->SetupDouble("p", 5.0, 0.0, 10.0, 0.01, "");
  }

  void BeginParamGesture(int paramIdx) override { Log("begin " + std::to_string(paramIdx)); }
  void AutomateParam(int paramIdx, double value) override {
    Log("set " + std::to_string(paramIdx) + " " + std::to_string(value));
  }
  void EndParamGesture(int paramIdx) override { Log("end " + std::to_string(paramIdx)); }
  int HostSamplePosition() override { return 0; }
  double HostTempo() override { return 0.0; }
  void HostTimeSignature(int* num, int* denom) override { *num = *denom = 0; }
  void RefreshEditorRect(int w, int h) override { Log("refresh " + std::to_string(w) + "x" + std::to_string(h)); }
  void AdjustForHost() override {}
  bool SendMidiMessage(const MidiMessage&) override { return false; }
  bool SendMidiMessages(std::span<const MidiMessage>) override { return false; }

  void Log(const std::string& s) { events.push_back(s); }
  std::vector<std::string> events;
};

struct LineCall {
  IColor color;
  float x1, y1, x2, y2;
  IBlend blend;
  bool antialias;
};

struct ImageCall {
  IImage image;
  IRect dest;
  int srcX, srcY;
  IBlend blend;
};

// Implements every abstract operation by recording it.
class RecordingGraphics : public IEditorGraphics {
public:
  explicit RecordingGraphics(IEffectBase* plug, int fps = 18) : IEditorGraphics(plug, 640, 540, fps) {}

  void PrepareDraw() override { ++prepareCount; }
  bool PresentRect(const IRect& rect) override {
    presented.push_back(rect);
    return true;
  }
  bool DrawImage(const IImage& image, const IRect& dest, int srcX, int srcY, const IBlend* blend) override {
    images.push_back(ImageCall{image, dest, srcX, srcY, blend ? *blend : IBlend()});
    return true;
  }
  bool DrawRotatedImage(const IImage&, int, int, double, int, const IBlend*) override { return true; }
  bool DrawRotatedMask(const IImage&, const IImage&, const IImage&, int, int, double, const IBlend*) override {
    return true;
  }
  bool DrawPoint(const IColor&, float, float, const IBlend*, bool) override { return true; }
  bool ForcePixel(const IColor&, int, int) override { return true; }
  bool DrawLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend,
                bool antialias) override {
    lines.push_back(LineCall{color, x1, y1, x2, y2, blend ? *blend : IBlend(), antialias});
    return lineResult;
  }
  bool DrawArc(const IColor&, float, float, float, float, float, const IBlend*, bool) override { return true; }
  bool DrawCircle(const IColor&, float, float, float, const IBlend*, bool) override { return true; }
  bool FillRect(const IColor&, const IRect&, const IBlend*) override { return true; }
  bool DrawText(const ITextStyle&, const char*, const IRect&) override { return true; }
  IColor GetPoint(int, int) override { return IColor(); }
  std::uint32_t* GetBits() override { return nullptr; }
  void PromptParamInput(IEditorControl* control, IEffectParam* param) override {
    prompts.push_back({control, param});
  }
  void HostPath(std::string& path) override { path.clear(); }
  void PluginPath(std::string& path) override { path.clear(); }
  void PromptForFile(std::string& path, int, const char*, const char*) override { path.clear(); }
  bool PromptForColor(IColor&, const char*) override { return false; }
  bool OpenLink(const char* address, const char* title, const char* confirmation, const char* error) override {
    links.push_back(std::string(address) + "|" + title + "|" + (confirmation ? "c" : "-") + (error ? "e" : "-"));
    return links.size() <= linkSuccesses;
  }
  void* OpenWindow(void*) override { return nullptr; }
  void CloseWindow() override {}
  void* GetWindow() override { return nullptr; }
  IImage LoadImage(int, const char*, int frames) override {
    IImage image = nextImage;
    image.N = frames;
    return image;
  }
  IImage ScaleImage(const IImage& image, int, int) override { return image; }
  IImage CropImage(const IImage& image, const IRect&) override { return image; }
  void RetainImage(const IImage&) override {}
  void ReleaseImage(const IImage&) override {}

  using IEditorGraphics::CaptureIndex;
  using IEditorGraphics::MouseOverIndex;

  int prepareCount = 0;
  bool lineResult = true;
  std::size_t linkSuccesses = 0;  // the first n OpenLink calls succeed
  IImage nextImage{nullptr, 640, 540, 1};
  std::vector<IRect> presented;
  std::vector<ImageCall> images;
  std::vector<LineCall> lines;
  std::vector<std::pair<IEditorControl*, IEffectParam*>> prompts;
  std::vector<std::string> links;
};

// Records every event; Draw records the value it drew.
class ProbeControl : public IEditorControl {
public:
  ProbeControl(IEffectBase* plug, const IRect& rect, int paramIdx = -1) : IEditorControl(plug, rect, paramIdx) {}

  void OnMouseDown(int x, int y, const IMouseState& mouse) override {
    Log("down", {x, y});
    IEditorControl::OnMouseDown(x, y, mouse);
  }
  void OnMouseUp(int x, int y) override { Log("up", {x, y}); }
  void OnMouseDrag(int x, int y, int dX, int dY, const IMouseState&) override {
    Log("drag", {x, y, dX, dY});
  }
  void OnMouseDoubleClick(int x, int y, const IMouseState& mouse) override {
    Log("dbl", {x, y});
    IEditorControl::OnMouseDoubleClick(x, y, mouse);
  }
  void OnMouseWheel(int x, int y, const IMouseState&, int d) override {
    Log("wheel", {x, y, d});
  }
  void OnMouseOver(int x, int y, const IMouseState&) override { Log("over", {x, y}); }
  void OnMouseOut() override { events.push_back("out"); }
  bool Draw(IEditorGraphics&) override {
    drawn.push_back(GetValue());
    drawWeights.push_back(mBlend.weight);
    return true;
  }

  // An event name followed by its numbers, separated by spaces.
  void Log(const char* what, std::initializer_list<int> numbers) {
    std::string line(what);
    for (int n : numbers) line.append(" ").append(std::to_string(n));
    events.push_back(std::move(line));
  }
  std::vector<std::string> events;
  std::vector<double> drawn;
  std::vector<float> drawWeights;
};

}  // namespace sorvano::test
