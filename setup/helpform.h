// The ReadMe window: the application's ReadMe in a read-only, unwrapped
// text box filling the window.
#pragma once

#include "winui/Edits_win.h"
#include "winui/Form_win.h"

class Tf_Help : public TForm {
 public:
  explicit Tf_Help(TComponent* owner);
  std::string ClassName() const override { return "Tf_Help"; }

  TMemo* Memo1 = nullptr;
};

// The newest ReadMe window; earlier ones live on, owned by the main window.
extern Tf_Help* f_Help;
