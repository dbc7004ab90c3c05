#include "Datamodule.h"

#include "Vdlconsts.h"

TDM* DM = nullptr;
int Res = 0;
TQuery* qFirmsCur = nullptr;

TDM::TDM()
{
    qFindObj.setSQL(QStringList{"SELECT PIO.ObjID FROM PostIdxObj PIO", "WHERE PIO.PostIdxID IN (",
                                "SELECT PI.ID FROM PostIdx PI", "WHERE PI.PostIndex LIKE :PostIndex)",
                                "ORDER BY PIO.ObjID ASC"});
    qFirmsFold.AddLookupField("FoldName", "FoldID", qFolders, "ID", "Name", 60);
}

TDM::~TDM()
{
    DataModuleDestroy();
}

bool TDM::DataModuleCreate(const TStartUpWindows& windows)
{
    Res = windows.SelectEdition();
    if (Res <= 0)
        return false;
    const Status opened = OpenEdition(Res);
    if (!opened) {
        windows.ShowOpenFailure(opened.error());
        return false;
    }
    if (!windows.CreateMainWindow())
        return false;
    windows.CreateSplash();
    windows.SetMainCaption(Res);
    return true;
}

void TDM::DataModuleDestroy()
{
    qFirmsStayOnTop.Close();
    qFirms.Close();
    qFolders.Close();
    qContent.Close();
    qRefPostIdx.Close();
    Con.Close();
}

Status TDM::OpenEdition(int edition)
{
    if (edition < 1 || edition > kEditionCount)
        return Status::failure(QString("Издания с номером %1 нет.").arg(edition));
    // The program data folder is not known yet at this point of the start-up,
    // so the bare name is taken from the current folder, like the dialog does.
    Con.DatabaseFileName = QString::fromUtf8(MapFiles[edition]);
    Con.Password = MapPw[edition];
    return Con.Open();
}

QString TDM::GetStrFromBase(int code)
{
    return ::GetStrFromBase(qContent, code);
}

int TDM::GetIntFromBase(int code)
{
    return ::GetIntFromBase(qContent, code);
}

QString GetStrFromBase(TQuery& content, int code)
{
    content.Open();
    if (!content.Locate("TypeID", code) || content.FieldByName("Data").IsNull())
        return kNotFoundInBase;
    return content.FieldByName("Data").AsString();
}

int GetIntFromBase(TQuery& content, int code)
{
    content.Open();
    if (!content.Locate("TypeID", code) || content.FieldByName("Data").IsNull())
        return 0;
    return StrToInt(content.FieldByName("Data").AsString());
}

QString GetStrFromBase(int code)
{
    return DM->GetStrFromBase(code);
}

int GetIntFromBase(int code)
{
    return DM->GetIntFromBase(code);
}

QString MainWindowCaption(int edition, const QString& versionProgram)
{
    return QString::fromUtf8(MapDescriptions[edition]) + " - " + "Информационно-коммерческий справочник Вариндел" +
           " - " + versionProgram;
}
