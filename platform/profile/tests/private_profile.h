#pragma once
#include <QString>

// The temporary XDG_CONFIG_HOME of this test process.
QString PrivateConfigHome();
