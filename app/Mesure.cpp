// The measurement run: Button1Click starts and stops it, Timer1Timer takes
// one point a second.
#include "app/UPrincipal.h"

void TForm1::Button1Click(QObject*) {}

void TForm1::Timer1Timer(QObject*) {}
