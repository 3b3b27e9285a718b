#include "messages/messages_schema.h"

namespace messages {

data::TableDef messTable() {
    data::TableDef t;
    t.name = "Mess";
    t.fields = {
        data::column("Mess_No", data::FieldType::AutoInc),
        data::textColumn("To", 35),
        data::textColumn("Date", 50),
        data::textColumn("Time", 50),
        data::textColumn("From", 25),
        data::textColumn("Company", 30),
        data::textColumn("Phone", 14),
        data::textColumn("Ext", 4),
        data::textColumn("Media", 16),
        data::textColumn("Message Type", 25),
        data::textColumn("Message Given", 200),
        data::textColumn("Message Taken By", 3),
        data::textColumn("Status", 8),
        data::column("Comments", data::FieldType::Memo, 1),
        data::column("Response", data::FieldType::Memo, 1),
    };
    // The reader lists one recipient's messages in table order (filter on To): this index
    // finds them without reading the other recipients' messages.
    t.indexes = {{"MessTo", {"To", "Mess_No"}, false}};
    return t;
}

data::TableDef mediaTable() {
    data::TableDef t;
    t.name = "Media";
    t.fields = {
        data::column("Media_Id", data::FieldType::AutoInc),
        data::textColumn("Media_Type", 35),
    };
    t.indexes = {{"MediaType", {"Media_Type"}, false}};
    return t;
}

data::TableDef msgtypeTable() {
    data::TableDef t;
    t.name = "Msgtype";
    t.fields = {
        data::column("Msgtype_Id", data::FieldType::AutoInc),
        data::textColumn("Message Type", 30),
    };
    t.indexes = {{"MsgtypeType", {"Message Type"}, false}};
    return t;
}

} // namespace messages
