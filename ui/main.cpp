#include "ui/tidepost_app.h"

int main(int argc, char** argv) { return tp::CTidepostApp().Run(argc, argv); }
