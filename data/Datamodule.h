// The data module: the one connection to the edition and every query the
// directory runs, plus the start-up that its creation drives.
#pragma once

#include "Database.h"
#include "Query.h"
#include "Result.h"

#include <QString>

#include <functional>

// The start-up steps that need windows. The shell supplies them; the data
// module runs them, in this order, from DataModuleCreate.
struct TStartUpWindows {
    std::function<int()> SelectEdition;                  // the edition dialog, modal; its result
    std::function<void(const QString&)> ShowOpenFailure; // the edition could not be opened
    std::function<bool()> CreateMainWindow;              // false when no main window came up
    std::function<void()> CreateSplash;                  // returns when the splash is closed
    std::function<void(int edition)> SetMainCaption;
};

class TDM {
public:
    TDM();
    ~TDM();
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    TDatabase Con;

    TQuery qGetFolder{Con, "qGetFolder",
                      "SELECT * FROM FIRMS WHERE (TypeID=1) AND (ParentID=:ParentID) ORDER BY Name ASC"};
    TQuery qFolders{Con, "qFolders", "SELECT * FROM FIRMS WHERE TypeID=1 ORDER BY Name ASC"};
    TQuery qFirms{Con, "qFirms", "SELECT * FROM FIRMS WHERE TypeID=2 ORDER BY Place ASC, Name ASC"};
    TQuery qFirmsAdr{Con, "qFirmsAdr", "select * from FirmsAdr"};
    TQuery qFirmsFold{Con, "qFirmsFold", "SELECT * FROM FirmsFold WHERE (FirmID = :FirmID)"};
    TQuery qFirmsStayOnTop{
        Con, "qFirmsStayOnTop",
        "SELECT * FROM FIRMS WHERE ((TypeID=2)AND(ShowAlways = TRUE)) ORDER BY Place ASC, Name ASC"};
    TQuery qFirmsInFld{Con, "qFirmsInFld",
                       "SELECT * FROM FIRMS WHERE ((TypeID=2)AND(ID IN (SELECT FirmID FROM FirmsFold WHERE (FoldID = "
                       ":FoldID)))) ORDER BY Place ASC, Name ASC"};
    TQuery qFirmsFind{Con, "qFirmsFind"};
    TQuery qFirmsBld{Con, "qFirmsBld",
                     "SELECT * FROM FIRMS WHERE ((TypeID=2) AND (ID IN (SELECT Firm_ID FROM FirmsAdr WHERE (Obj_ID= "
                     ":Obj_ID)))) ORDER BY Name ASC"};
    TQuery qFirmsFavor{Con, "qFirmsFavor"};
    TQuery qContent{Con, "qContent", "select * from Content"};
    TQuery qPostIndex{Con, "qPostIndex", "select * from PostIdxObj where ObjID = :ObjID"};
    TQuery qRefPostIdx{Con, "qRefPostIdx", "select * from PostIdx"};
    TQuery qFindObj{Con, "qFindObj"};
    TQuery qTemp{Con, "qTemp"};

    // Runs the start-up: edition dialog, the edition's database, main window,
    // splash, caption. True when the main window is up.
    bool DataModuleCreate(const TStartUpWindows& windows);
    // Closes the start-up queries and the connection.
    void DataModuleDestroy();

    // Opens edition `edition`'s file, by its bare name from the current
    // folder, with its password.
    Status OpenEdition(int edition);

    QString GetStrFromBase(int code);
    int GetIntFromBase(int code);
};

// The data module, the chosen edition (0 = none) and the firm query being
// rendered into the firm list at the moment (null otherwise).
extern TDM* DM;
extern int Res;
extern TQuery* qFirmsCur;

// Content items (table Content) by type code: the first row in the table's
// own order with that code. Text items read "Не найдено в базе" and integer
// items 0 when there is no such row or its data is null; an integer item
// whose text is no integer raises EConvertError.
inline constexpr const char* kNotFoundInBase = "Не найдено в базе";
QString GetStrFromBase(TQuery& content, int code);
int GetIntFromBase(TQuery& content, int code);
// The same on the data module's qContent, for the main window and the Parts after it.
QString GetStrFromBase(int code);
int GetIntFromBase(int code);

// "<description> - Информационно-коммерческий справочник Вариндел - <version text>".
QString MainWindowCaption(int edition, const QString& versionProgram);
