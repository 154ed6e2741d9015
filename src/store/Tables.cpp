#include "store/Tables.h"

namespace quorvia {

std::vector<FieldDef> RankingFields() {
    return {TextField("SiteName", 250),
            TextField("SENAME", 30),
            TextField("Keyword", 50),
            TextField("url", 250),
            IntegerField("Position"),
            IntegerField("LastPosition"),
            IntegerField("BestPosition"),
            IntegerField("ChangePosition"),
            IntegerField("Page"),
            IntegerField("LastPage"),
            IntegerField("BestPage"),
            IntegerField("ChangePage"),
            DateField("DT"),
            DateField("DTLast"),
            DateField("DTBest")};
}

TTables::TTables()
    : WebSiteClientDataSet("WebSiteClientDataSet", {TextField("SiteName", 250)}),
      WordClientDataSet("WordClientDataSet",
                        {TextField("SiteName", 250), TextField("Word1", 50), TextField("Word2", 50),
                         TextField("Word3", 50), TextField("Word4", 50)}),
      SE_ClientDataSet("SE_ClientDataSet",
                       {TextField("SENAME", 30), TextField("MainURL", 1000),
                        TextField("SearchURL", 1000), TextField("SearchMask", 1000),
                        TextField("NextForm", 1000), TextField("NoResults", 1000)}),
      SECacheClientDataSet("SECacheClientDataSet", RankingFields()),
      ResClientDataSet("ResClientDataSet", RankingFields()),
      ResMinClientDataSet("ResMinClientDataSet",
                          {IntegerField("TextChangePositionMax"), IntegerField("TextPositionMax"),
                           IntegerField("TextLastPositionMax"), IntegerField("TextBestPositionMax"),
                           IntegerField("TextPageMax"), IntegerField("TextLastPageMax"),
                           IntegerField("TextBestPageMax")}) {
    WordClientDataSet.SetIndexFieldNames("SiteName");
    WordClientDataSet.SetMaster(&WebSiteClientDataSet, "SiteName");
    SE_ClientDataSet.AddIndex("SE_ClientDataSetIndex1", "SENAME");
    SE_ClientDataSet.SetIndexName("SE_ClientDataSetIndex1");
    SECacheClientDataSet.SetIndexFieldNames("SiteName;SENAME;keyword;url");
    SECacheClientDataSet.SetMaster(&WebSiteClientDataSet, "SiteName");
}

} // namespace quorvia
