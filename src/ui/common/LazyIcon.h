#pragma once
#include <functional>

#include <QIcon>

// An icon whose pictures are made when something first asks for them (a menu
// that opens, a window system that wants the window's icon), not when the
// icon is made. Copies share the pictures and the cache key, as with any
// QIcon; `make` runs once (again only for a copy Qt detaches, which adding
// pictures to it does). Until then the icon is not null: `make` must give
// pictures.
QIcon LazyIcon(std::function<QIcon()> make);
