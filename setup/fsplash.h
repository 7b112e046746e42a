// The splash window: shown at once on start-up, on top of everything, with
// the busy cursor, until the main window takes the focus from it.
#pragma once

#include "winui/Form_win.h"

class Tf_splash : public TForm {
 public:
  explicit Tf_splash(TComponent* owner);
  ~Tf_splash() override;
  std::string ClassName() const override { return "Tf_splash"; }

  // Another window of the program took the focus: the cursor goes back to
  // the default and the splash goes away.
  void FormDeactivate(TComponent* sender);
};

// The one splash window while it exists; null before and after.
extern Tf_splash* f_splash;

// The splash module's start-up: busy cursor, then the splash created,
// shown and painted at once (no messages are processed until the message
// loop runs, and the splash must show its content through the slow part).
void ShowSplash();
