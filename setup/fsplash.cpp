#include "setup/fsplash.h"

#include "winui/Screen_win.h"

Tf_splash* f_splash = nullptr;

Tf_splash::Tf_splash(TComponent* owner) : TForm(owner) {
  Handler("FormDeactivate", &Tf_splash::FormDeactivate);
  Initialize("Tf_splash");
}

Tf_splash::~Tf_splash() {
  if (f_splash == this) f_splash = nullptr;
}

void Tf_splash::FormDeactivate(TComponent*) {
  Screen.SetCursor(TCursor::crDefault);
  // Released, not deleted: this runs inside the splash's own notification.
  f_splash->Release();
}

void ShowSplash() {
  Screen.SetCursor(TCursor::crHourGlass);
  f_splash = new Tf_splash(nullptr);
  f_splash->Show();
  f_splash->Update();
}
