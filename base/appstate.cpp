#include "appstate.h"

AppStateRecord AppState;
