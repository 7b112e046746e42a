#include "winui/StandardControls.h"

#include "winui/Buttons.h"
#include "winui/Edits.h"
#include "winui/GraphicControls.h"
#include "winui/GroupBox.h"
#include "winui/ProgressBar.h"
#include "winui/SpeedButton.h"

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
