// TForm9, the About screen: the maker's picture and lines at a fixed place. One
// window for the whole run; closing it only hides it.
#pragma once

#include <QWidget>

namespace kelvane {

class TForm9 : public QWidget {
    Q_OBJECT
  public:
    TForm9();
};

}  // namespace kelvane
