#include "app/anyoption.h"
