// The filter parser and its translation into SQL with bound values.
#include "filter.h"
#include "database.h"
#include "errors.h"
#include <QHash>
#include <QLocale>

namespace data {

namespace {

struct Token {
    enum Type { End, Ident, Field, String, Number, Op, LParen, RParen } type = End;
    QString text;
    int pos = 0;
};

[[noreturn]] void syntaxError(const QString& detail) {
    throw DatabaseError("Filter expression incorrectly formed: " + detail, ErrorKind::BadFilter);
}

QVector<Token> tokenize(const QString& s) {
    QVector<Token> out;
    int i = 0;
    const int n = s.size();
    auto prevAllowsSign = [&] {
        return out.isEmpty() || out.back().type == Token::Op || out.back().type == Token::LParen ||
               (out.back().type == Token::Ident &&
                QStringList{"AND", "OR", "NOT"}.contains(out.back().text.toUpper()));
    };
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        t.pos = i;
        if (c == '\'') {
            QString v;
            int j = i + 1;
            bool closed = false;
            while (j < n) {
                if (s[j] == '\'') {
                    if (j + 1 < n && s[j + 1] == '\'') {
                        v += '\'';
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                v += s[j++];
            }
            if (!closed)
                syntaxError(QString("the text constant at position %1 has no closing quote").arg(i + 1));
            t.type = Token::String;
            t.text = v;
            i = j + 1;
        } else if (c == '[' || c == '"') {
            const QChar close = c == '[' ? QChar(']') : QChar('"');
            const int j = s.indexOf(close, i + 1);
            if (j < 0) syntaxError(QString("the field name at position %1 is not closed").arg(i + 1));
            t.type = Token::Field;
            t.text = s.mid(i + 1, j - i - 1);
            if (t.text.trimmed().isEmpty())
                syntaxError(QString("empty field name at position %1").arg(i + 1));
            i = j + 1;
        } else if (c.isDigit() || (c == '.' && i + 1 < n && s[i + 1].isDigit()) ||
                   ((c == '-' || c == '+') && i + 1 < n && (s[i + 1].isDigit() || s[i + 1] == '.') &&
                    prevAllowsSign())) {
            int j = i + 1;
            while (j < n && (s[j].isDigit() || s[j] == '.' || ((s[j] == 'e' || s[j] == 'E') && j + 1 < n) ||
                             ((s[j] == '-' || s[j] == '+') && (s[j - 1] == 'e' || s[j - 1] == 'E'))))
                ++j;
            t.type = Token::Number;
            t.text = s.mid(i, j - i);
            i = j;
        } else if (c.isLetter() || c == '_') {
            int j = i + 1;
            while (j < n && (s[j].isLetterOrNumber() || s[j] == '_'))
                ++j;
            t.type = Token::Ident;
            t.text = s.mid(i, j - i);
            i = j;
        } else if (c == '(' || c == ')') {
            t.type = c == '(' ? Token::LParen : Token::RParen;
            t.text = c;
            ++i;
        } else if (c == '=' || c == '<' || c == '>' || c == '!') {
            QString op = c;
            if (i + 1 < n && (s[i + 1] == '=' || (c == '<' && s[i + 1] == '>'))) op += s[i + 1];
            if (op == "!") syntaxError(QString("unexpected '!' at position %1").arg(i + 1));
            i += op.size();
            if (op == "!=") op = "<>";
            if (op == "==") op = "=";
            t.type = Token::Op;
            t.text = op;
        } else {
            syntaxError(QString("unexpected '%1' at position %2").arg(c).arg(i + 1));
        }
        out << t;
    }
    Token end;
    end.pos = n;
    out << end;
    return out;
}

bool isWord(const Token& t, const char* w) {
    return t.type == Token::Ident && t.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
}

// Deeper filters are refused: the parser, the SQL it writes and the tree's own clean-up all
// recurse, and a crafted filter must not run the stack out.
constexpr int maxNesting = 64;     // parentheses and NOT inside one another
constexpr int maxConnected = 1024; // compares joined by AND and OR in the whole filter

class Parser {
public:
    explicit Parser(QVector<Token> t) : toks_(std::move(t)) {}

    std::unique_ptr<FilterExpr> parseAll() {
        auto e = parseOr();
        if (peek().type != Token::End) unexpected();
        return e;
    }

private:
    QVector<Token> toks_;
    int p_ = 0;
    int nesting_ = 0;
    int connected_ = 0;

    struct Nested { // one level deeper while it lives
        Parser& p;
        explicit Nested(Parser& parser) : p(parser) {
            if (++p.nesting_ > maxNesting)
                syntaxError(QString("it is nested more than %1 levels deep at position %2")
                                .arg(maxNesting)
                                .arg(p.peek().pos + 1));
        }
        ~Nested() { --p.nesting_; }
    };
    void connect() {
        if (++connected_ > maxConnected)
            syntaxError(QString("it joins more than %1 compares with AND and OR").arg(maxConnected));
    }

    const Token& peek() const { return toks_[p_]; }
    Token take() { return toks_[p_++]; }
    [[noreturn]] void unexpected() const {
        const Token& t = peek();
        if (t.type == Token::End) syntaxError("the expression ends too early");
        syntaxError(QString("unexpected '%1' at position %2").arg(echoed(t.text)).arg(t.pos + 1));
    }

    static std::unique_ptr<FilterExpr> binary(FilterExpr::Kind k, std::unique_ptr<FilterExpr> a,
                                              std::unique_ptr<FilterExpr> b) {
        auto e = std::make_unique<FilterExpr>();
        e->kind = k;
        e->left = std::move(a);
        e->right = std::move(b);
        return e;
    }

    std::unique_ptr<FilterExpr> parseOr() {
        auto e = parseAnd();
        while (isWord(peek(), "OR")) {
            take();
            connect();
            e = binary(FilterExpr::Kind::Or, std::move(e), parseAnd());
        }
        return e;
    }

    std::unique_ptr<FilterExpr> parseAnd() {
        auto e = parseUnary();
        while (isWord(peek(), "AND")) {
            take();
            connect();
            e = binary(FilterExpr::Kind::And, std::move(e), parseUnary());
        }
        return e;
    }

    std::unique_ptr<FilterExpr> parseUnary() {
        if (isWord(peek(), "NOT")) {
            take();
            const Nested deeper(*this);
            auto e = std::make_unique<FilterExpr>();
            e->kind = FilterExpr::Kind::Not;
            e->left = parseUnary();
            return e;
        }
        return parsePrimary();
    }

    FilterExpr::Operand parseOperand() {
        const Token t = peek();
        FilterExpr::Operand o;
        switch (t.type) {
        case Token::Ident:
            if (isWord(t, "AND") || isWord(t, "OR") || isWord(t, "NOT") || isWord(t, "IS") ||
                isWord(t, "NULL"))
                unexpected();
            [[fallthrough]];
        case Token::Field:
            o.isField = true;
            o.name = t.text.trimmed();
            break;
        case Token::String:
            o.isString = true;
            o.constant = t.text;
            o.literal = t.text;
            break;
        case Token::Number: {
            bool ok = false;
            const double d = QLocale::c().toDouble(t.text, &ok);
            if (!ok)
                syntaxError(QString("'%1' at position %2 is no number").arg(echoed(t.text)).arg(t.pos + 1));
            o.constant = d;
            o.literal = t.text;
            break;
        }
        default:
            unexpected();
        }
        take();
        return o;
    }

    std::unique_ptr<FilterExpr> parsePrimary() {
        if (peek().type == Token::LParen) {
            const Nested deeper(*this);
            take();
            auto e = parseOr();
            if (peek().type != Token::RParen) {
                if (peek().type == Token::End) syntaxError("a closing parenthesis is missing");
                unexpected();
            }
            take();
            return e;
        }
        auto e = std::make_unique<FilterExpr>();
        e->lhs = parseOperand();
        if (isWord(peek(), "IS")) {
            take();
            e->kind = FilterExpr::Kind::IsNull;
            if (isWord(peek(), "NOT")) {
                take();
                e->negated = true;
            }
            if (!isWord(peek(), "NULL")) unexpected();
            take();
            if (!e->lhs.isField) syntaxError("IS NULL needs a field name");
            return e;
        }
        if (peek().type != Token::Op) unexpected();
        e->op = take().text;
        if (isWord(peek(), "NULL")) {
            // Field = NULL reads as "is empty"
            take();
            if (!e->lhs.isField || (e->op != "=" && e->op != "<>"))
                syntaxError("NULL can only be compared with = or <>");
            e->kind = FilterExpr::Kind::IsNull;
            e->negated = e->op == "<>";
            return e;
        }
        e->rhs = parseOperand();
        if (!e->lhs.isField && !e->rhs.isField) syntaxError("a compare needs a field name on one side");
        if (!e->lhs.isField) {
            // constant op field: turned round so the field comes first
            std::swap(e->lhs, e->rhs);
            static const QHash<QString, QString> flip = {{"=", "="}, {"<>", "<>"}, {"<", ">"},
                                                         {">", "<"}, {"<=", ">="}, {">=", "<="}};
            e->op = flip.value(e->op);
        }
        return e;
    }
};

// The smallest text greater than every text that starts with prefix, or empty if none.
QString prefixUpperBound(const QString& prefix) {
    QList<uint> cps = prefix.toUcs4();
    while (!cps.isEmpty()) {
        uint last = cps.takeLast();
        if (last < 0x10FFFF) {
            ++last;
            if (last >= 0xD800 && last <= 0xDFFF) last = 0xE000;
            cps << last;
            return QString::fromUcs4(reinterpret_cast<const char32_t*>(cps.constData()), cps.size());
        }
    }
    return {};
}

bool isTextType(FieldType t) { return t == FieldType::String || t == FieldType::Memo; }

} // namespace

std::unique_ptr<FilterExpr> FilterExpr::parse(const QString& text) {
    if (text.trimmed().isEmpty()) syntaxError("the expression is empty");
    return Parser(tokenize(text)).parseAll();
}

QStringList FilterExpr::fieldNames() const {
    QStringList out;
    if (lhs.isField) out << lhs.name;
    if (rhs.isField) out << rhs.name;
    if (left) out << left->fieldNames();
    if (right) out << right->fieldNames();
    return out;
}

QString FilterExpr::toSql(const ColumnResolver& resolve, const Dialect& dialect, QVariantList& values) const {
    switch (kind) {
    case Kind::And:
    case Kind::Or: {
        // one after the other: the placeholders' values must come in text order
        const QString a = left->toSql(resolve, dialect, values);
        const QString b = right->toSql(resolve, dialect, values);
        return "(" + a + (kind == Kind::And ? " AND " : " OR ") + b + ")";
    }
    case Kind::Not:
        return "(NOT " + left->toSql(resolve, dialect, values) + ")";
    case Kind::IsNull: {
        const Column c = resolve(lhs.name);
        if (isTextType(c.type))
            return negated ? QString("(%1 IS NOT NULL AND %1 <> '')").arg(c.sql)
                           : QString("(%1 IS NULL OR %1 = '')").arg(c.sql);
        return QString("(%1 IS %2NULL)").arg(c.sql, negated ? "NOT " : "");
    }
    case Kind::Compare:
        break;
    }

    const Column c = resolve(lhs.name);
    const bool text = isTextType(c.type);
    const QString col = text ? c.sql + dialect.collate() : c.sql;

    if (rhs.isField) {
        const Column c2 = resolve(rhs.name);
        const QString col2 = isTextType(c2.type) ? c2.sql + dialect.collate() : c2.sql;
        return QString("(%1 IS NOT NULL AND %2 IS NOT NULL AND %3 %4 %5)").arg(c.sql, c2.sql, col, op, col2);
    }

    QVariant value = rhs.constant;
    if (text)
        value = rhs.isString ? rhs.constant.toString() : rhs.literal;
    else if (rhs.isString) {
        bool ok = false;
        const double d = QLocale::c().toDouble(rhs.constant.toString().trimmed(), &ok);
        if (c.type == FieldType::DateTime || !ok)
            value = rhs.constant.toString();
        else
            value = d;
    }

    if (text) {
        const QString s = value.toString();
        if (s.isEmpty()) {
            // an empty constant: the empty (NULL) values
            if (op == "=" || op == "<=") return QString("(%1 IS NULL OR %1 = '')").arg(c.sql);
            if (op == "<>" || op == ">") return QString("(%1 IS NOT NULL AND %1 <> '')").arg(c.sql);
            if (op == ">=") return "(1 = 1)";
            return "(1 = 0)"; // nothing sorts before empty
        }
        if (rhs.isString && s.size() > 1 && s.endsWith('*') && (op == "=" || op == "<>")) {
            const QString prefix = s.chopped(1);
            const QString upper = prefixUpperBound(prefix);
            values << prefix;
            if (op == "=") {
                if (upper.isEmpty()) return QString("(%1 IS NOT NULL AND %2 >= ?)").arg(c.sql, col);
                values << upper;
                return QString("(%1 IS NOT NULL AND %2 >= ? AND %2 < ?)").arg(c.sql, col);
            }
            if (upper.isEmpty()) return QString("(%1 IS NULL OR %2 < ?)").arg(c.sql, col);
            values << upper;
            return QString("(%1 IS NULL OR %2 < ? OR %2 >= ?)").arg(c.sql, col);
        }
    }

    values << value;
    if (op == "=" || op == ">" || op == ">=")
        return QString("(%1 IS NOT NULL AND %2 %3 ?)").arg(c.sql, col, op);
    return QString("(%1 IS NULL OR %2 %3 ?)").arg(c.sql, col, op); // <> < <=: empty is smaller
}

} // namespace data
