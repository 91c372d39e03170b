#include "VyScene600/KrTheme3DFactory.h"

namespace KRS {

// The factory base holds nothing: a plug-in's factory carries all the behaviour.
KrTheme3DFactory::KrTheme3DFactory() = default;

KrTheme3DFactory::~KrTheme3DFactory() = default;

} // namespace KRS
