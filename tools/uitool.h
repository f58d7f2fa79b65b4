// Shared by the resource tools (uishot, uilayout): reads a resource file and registers a do-nothing
// callback under every callback name it uses, so that any of its panels loads on its own.
#pragma once

#include "platform/ui/resource.h"

#include <optional>
#include <string>

// On success file holds the absolute path to load panels from; on failure the reason went to stderr.
std::optional<uir::Resource> LoadToolResource(const char* path, std::string& file);
