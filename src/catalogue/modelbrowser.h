#pragma once

#include "app/appstate.h"
#include "catalogue/catalogue.h"

#include <QStringList>

class Prompter;

// The three model lists (size, speed, stroke) of one family and generation
// and the texts they show. Both the device selection dialog and the
// parameter window fill their lists from here.
struct ModelLists
{
    QStringList sizes;
    QStringList speeds;
    QStringList strokes;
    QString size;
    QString speed;
    QString stroke;
};

// Browses the catalogue of a family and generation without touching the
// model in use: it reads the catalogue into tables of its own. The values
// it prefers when a list is refilled are those of `model`, the model in use
// (read, never written).
class ModelBrowser
{
public:
    ModelBrowser(const AppState &model, Prompter &prompter, const QString &listDir);

    // Reads the catalogue of the family ("KT" or another text for RW) and
    // generation. False when it cannot be read (the catalogue has said so);
    // the lists then keep what they had.
    bool browse(const QString &family, bool isNewType);
    const QString &family() const { return m_browse.gDevFamily; }
    bool isNewType() const { return m_catalogue.selection().gSelIsNewType; }
    bool isKtNew() const;

    // Refills every list. The size shown stays `size` when the catalogue
    // has it, else it becomes the first size; speeds and strokes follow.
    ModelLists refreshAll(const QString &size);
    // A size was chosen: the speeds of that size, then the strokes.
    ModelLists refreshFromSize(const ModelLists &lists, const QString &size);
    // A speed was chosen: the strokes of the size and speed.
    ModelLists refreshFromSpeed(const ModelLists &lists, const QString &speed);

    // The homing code (HomeCode) of the model; for KT new the homing method
    // is always the sensor (HomeFixedSensor).
    int homeCode(const QString &size, const QString &speed, const QString &stroke);

    // The catalogue's entry for the model, for the check at OK; nothing when
    // it is not listed (or the catalogue cannot be read, which it reports).
    std::optional<DeviceRecord> lookup(const QString &size, const QString &speed, int stroke);

    // A size typed with two characters gets the leading blank that the
    // catalogue's sizes carry (" 28").
    static QString normalizedSize(const QString &text);
    // The numeric value of a stroke text (0 when it is not a number).
    static int strokeValue(const QString &text);

private:
    void fillSpeeds(ModelLists &lists);
    void fillStrokes(ModelLists &lists) const;

    const AppState &m_model;
    AppState m_browse;
    Catalogue m_catalogue;
};
