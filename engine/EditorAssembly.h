#pragma once

// The plug-in's editor: one graphics object of 640 x 540 pixels at 18 frames
// per second over the background picture, with five controls in this order
// (their drawing order and index order after the background):
//   1. the "bright" knob,
//   2. the "reset" button,
//   3. the sonogram view,
//   4. the side panel (view and panel linked both ways),
//   5. the link area that opens the manual.
// The editor lives as long as the plug-in; the host's editor window only
// shows it.

namespace sorvano {

class SidePanel;
class Sorvano;
class SorvanoControl;

struct EditorControls {
  SorvanoControl* view = nullptr;  // owned by the editor
  SidePanel* panel = nullptr;      // owned by the editor
};

// Plug-in constructor, under the process-wide construction lock: builds the
// editor through CreateEditorGraphics and hands it to plug (AttachEditor),
// which owns it from then on.
EditorControls AssembleEditor(Sorvano& plug);

}  // namespace sorvano
