#include "messages/messages_schema.h"

namespace messages {

namespace {
data::FieldDef field(const QString& name, data::FieldType type, int size = 0)
{
    data::FieldDef f;
    f.fieldName = name;
    f.type = type;
    f.size = size;
    return f;
}
data::FieldDef text(const QString& name, int size) { return field(name, data::FieldType::String, size); }
} // namespace

data::TableDef messTable()
{
    data::TableDef t;
    t.name = "Mess";
    t.fields = {
        field("Mess_No", data::FieldType::AutoInc),
        text("To", 35),
        text("Date", 50),
        text("Time", 50),
        text("From", 25),
        text("Company", 30),
        text("Phone", 14),
        text("Ext", 4),
        text("Media", 16),
        text("Message Type", 25),
        text("Message Given", 200),
        text("Message Taken By", 3),
        text("Status", 8),
        field("Comments", data::FieldType::Memo, 1),
        field("Response", data::FieldType::Memo, 1),
    };
    // The reader lists one recipient's messages in table order (filter on To): this index
    // finds them without reading the other recipients' messages.
    t.indexes = {{"MessTo", {"To", "Mess_No"}, false}};
    return t;
}

data::TableDef mediaTable()
{
    data::TableDef t;
    t.name = "Media";
    t.fields = {
        field("Media_Id", data::FieldType::AutoInc),
        text("Media_Type", 35),
    };
    t.indexes = {{"MediaType", {"Media_Type"}, false}};
    return t;
}

data::TableDef msgtypeTable()
{
    data::TableDef t;
    t.name = "Msgtype";
    t.fields = {
        field("Msgtype_Id", data::FieldType::AutoInc),
        text("Message Type", 30),
    };
    t.indexes = {{"MsgtypeType", {"Message Type"}, false}};
    return t;
}

} // namespace messages
