#pragma once
#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QRadioButton;
class QVBoxLayout;

// A framed group of radio buttons, one per item, exactly one of them chosen
// (or none, index -1). The language texts address its items by index.
class RadioGroup : public QGroupBox {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TRadioGroup")
public:
    explicit RadioGroup(QWidget* parent = nullptr);

    void SetItems(const QStringList& items);
    void AddItem(const QString& text);
    int ItemCount() const { return int(buttons_.size()); }
    QString ItemText(int index) const;
    void SetItemText(int index, const QString& text);

    int ItemIndex() const;
    void SetItemIndex(int index);  // -1 clears the choice

signals:
    void ItemIndexChanged(int index);

private:
    QVBoxLayout* layout_;
    QButtonGroup* group_;
    QList<QRadioButton*> buttons_;
};
