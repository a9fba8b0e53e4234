#include "ui/Application.h"

TApplication Application;
