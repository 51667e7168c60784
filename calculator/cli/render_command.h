#pragma once
// `quelta-cli render`: draws a texture data file as the viewer shows it.
#include <CLI/CLI.hpp>

void AddRenderCommand(CLI::App& app);
