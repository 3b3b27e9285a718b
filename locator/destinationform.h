#pragma once
// The destination list: one destination per page of eight boxes, kept with the navigator.
// Shown from the main menu and from the check-out and check-in windows, so a missing
// destination can be added in the middle of a check-out; the table keeps its row and any
// pending edit from one showing to the next.
#include "controls/form.h"

class TDestinationForm : public controls::Form {
    Q_OBJECT
public:
    explicit TDestinationForm(QWidget* parent = nullptr);

    void FormCreate();
    void Button1Click(); // "Done"
};

inline constexpr controls::FormInstance<TDestinationForm> DestinationForm{"DestinationForm"};
