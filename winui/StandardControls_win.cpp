#include "winui/StandardControls.h"

#include "winui/Buttons_win.h"
#include "winui/Edits_win.h"
#include "winui/GraphicControls_win.h"
#include "winui/GroupBox_win.h"
#include "winui/ProgressBar_win.h"
#include "winui/SpeedButton_win.h"

namespace {

template <class Control>
void Register(const char* name) {
  RegisterComponentClass(name, [](TComponent* owner) -> TComponent* { return new Control(owner); });
}

}  // namespace

void RegisterStandardControls() {
  Register<TLabel>("TLabel");
  Register<TBevel>("TBevel");
  Register<TImage>("TImage");
  Register<TGroupBox>("TGroupBox");
  Register<TSpeedButton>("TSpeedButton");
  Register<TEdit>("TEdit");
  Register<TButton>("TButton");
  Register<TCheckBox>("TCheckBox");
  Register<TProgressBar>("TProgressBar");
  Register<TMemo>("TMemo");
}
