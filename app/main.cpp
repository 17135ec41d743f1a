// The program entry of orvtool and orvtool-sim; they differ in their bus backend.
#include "app/orvtool_app.h"

wxIMPLEMENT_APP(orv::OrvToolApp);
