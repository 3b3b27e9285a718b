#pragma once
// Makes sure the stored layouts are linked into the program (resources of a static library).
namespace layouts {
void ensureLoaded();
}
