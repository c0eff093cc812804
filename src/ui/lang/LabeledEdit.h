#pragma once
#include <QLineEdit>
#include <QLabel>
#include <QPointer>

// A line edit with a caption label of its own. The label is a sibling of the
// edit (same parent widget); without a layout it sits just above the edit and
// follows it, in a layout the form places it where it likes (EditLabel()).
// The label carries no name: the language texts reach it through the edit's
// A (caption) and B (tool tip) keys.
class LabeledEdit : public QLineEdit {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TLabeledEdit")
public:
    explicit LabeledEdit(QWidget* parent = nullptr);
    ~LabeledEdit() override;

    QLabel* EditLabel() const { return label_; }
    int LabelSpacing() const { return spacing_; }
    void SetLabelSpacing(int pixels);

protected:
    bool event(QEvent* e) override;

private:
    void PlaceLabel();
    QPointer<QLabel> label_;  // the parent may delete it first
    int spacing_ = 3;
};
