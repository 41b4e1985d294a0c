// The filter expressions of the dataset: comparisons of fields and
// constants joined by AND, OR and NOT, with IN lists and IS [NOT] NULL.
#include "DataSetInternal.h"
#include "Exceptions.h"

#include <vector>

namespace platform::dataset_detail {

namespace {

struct Token {
    enum Kind { End, Name, Number, Text, Op, LParen, RParen, Comma } kind = End;
    QString text;
    int pos = 0;
};

class Lexer {
public:
    explicit Lexer(const QString &s) : m_s(s) {}

    std::vector<Token> run()
    {
        std::vector<Token> out;
        const int n = int(m_s.size());
        int i = 0;
        while (i < n) {
            const QChar c = m_s[i];
            if (c.isSpace()) {
                ++i;
                continue;
            }
            Token t;
            t.pos = i;
            if (c == QLatin1Char('(')) {
                t.kind = Token::LParen;
                ++i;
            } else if (c == QLatin1Char(')')) {
                t.kind = Token::RParen;
                ++i;
            } else if (c == QLatin1Char(',')) {
                t.kind = Token::Comma;
                ++i;
            } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
                t.kind = Token::Text;
                ++i;
                bool closed = false;
                while (i < n) {
                    if (m_s[i] == c) {
                        if (i + 1 < n && m_s[i + 1] == c) {
                            t.text += c;
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    t.text += m_s[i++];
                }
                if (!closed)
                    fail(QStringLiteral("testo non chiuso"));
            } else if (c == QLatin1Char('[')) {
                t.kind = Token::Name;
                ++i;
                while (i < n && m_s[i] != QLatin1Char(']'))
                    t.text += m_s[i++];
                if (i >= n)
                    fail(QStringLiteral("nome di campo non chiuso"));
                ++i;
            } else if (c.isDigit()
                       || ((c == QLatin1Char('.') || c == QLatin1Char('-')) && i + 1 < n && m_s[i + 1].isDigit()
                           && numberMayStart(out))) {
                t.kind = Token::Number;
                if (c == QLatin1Char('-'))
                    t.text += m_s[i++];
                while (i < n && (m_s[i].isDigit() || m_s[i] == QLatin1Char('.')))
                    t.text += m_s[i++];
            } else if (c.isLetter() || c == QLatin1Char('_')) {
                t.kind = Token::Name;
                while (i < n && (m_s[i].isLetterOrNumber() || m_s[i] == QLatin1Char('_')))
                    t.text += m_s[i++];
            } else if (c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('=')
                       || c == QLatin1Char('!')) {
                t.kind = Token::Op;
                t.text += c;
                ++i;
                if (i < n && (m_s[i] == QLatin1Char('=') || (c == QLatin1Char('<') && m_s[i] == QLatin1Char('>')))) {
                    t.text += m_s[i];
                    ++i;
                }
                if (t.text == QLatin1String("!"))
                    fail(QStringLiteral("operatore '!'"));
                if (t.text == QLatin1String("=="))
                    t.text = QStringLiteral("=");
                if (t.text == QLatin1String("!="))
                    t.text = QStringLiteral("<>");
            } else {
                fail(QStringLiteral("carattere '%1'").arg(c));
            }
            out.push_back(t);
        }
        Token end;
        end.pos = n;
        out.push_back(end);
        return out;
    }

    [[noreturn]] void fail(const QString &what) const
    {
        throw EDataSetError(QStringLiteral("Filtro non valido (%1): %2").arg(what, m_s));
    }

private:
    // A minus sign begins a number only where an operand is expected.
    static bool numberMayStart(const std::vector<Token> &before)
    {
        if (before.empty())
            return true;
        const Token &t = before.back();
        return t.kind == Token::Op || t.kind == Token::LParen || t.kind == Token::Comma;
    }

    const QString &m_s;
};

struct Operand {
    int field = -1; // index, or -1 for a constant
    Value constant;
    Value get(const ValueList &values) const { return field >= 0 ? values.value(field) : constant; }
};

class Node : public FilterExpression {};

class AndNode : public Node {
public:
    AndNode(std::unique_ptr<Node> a, std::unique_ptr<Node> b) : m_a(std::move(a)), m_b(std::move(b)) {}
    bool matches(const ValueList &v) const override { return m_a->matches(v) && m_b->matches(v); }

private:
    std::unique_ptr<Node> m_a, m_b;
};

class OrNode : public Node {
public:
    OrNode(std::unique_ptr<Node> a, std::unique_ptr<Node> b) : m_a(std::move(a)), m_b(std::move(b)) {}
    bool matches(const ValueList &v) const override { return m_a->matches(v) || m_b->matches(v); }

private:
    std::unique_ptr<Node> m_a, m_b;
};

class NotNode : public Node {
public:
    explicit NotNode(std::unique_ptr<Node> a) : m_a(std::move(a)) {}
    bool matches(const ValueList &v) const override { return !m_a->matches(v); }

private:
    std::unique_ptr<Node> m_a;
};

class CompareNode : public Node {
public:
    CompareNode(Operand l, QString op, Operand r) : m_l(std::move(l)), m_op(std::move(op)), m_r(std::move(r)) {}
    bool matches(const ValueList &v) const override
    {
        const std::optional<int> c = compareMixed(m_l.get(v), m_r.get(v));
        if (!c)
            return false;
        if (m_op == QLatin1String("="))
            return *c == 0;
        if (m_op == QLatin1String("<>"))
            return *c != 0;
        if (m_op == QLatin1String("<"))
            return *c < 0;
        if (m_op == QLatin1String("<="))
            return *c <= 0;
        if (m_op == QLatin1String(">"))
            return *c > 0;
        return *c >= 0; // ">="
    }

private:
    Operand m_l;
    QString m_op;
    Operand m_r;
};

class IsNullNode : public Node {
public:
    IsNullNode(Operand a, bool negate) : m_a(std::move(a)), m_negate(negate) {}
    bool matches(const ValueList &v) const override { return m_a.get(v).isEmpty() != m_negate; }

private:
    Operand m_a;
    bool m_negate;
};

class InNode : public Node {
public:
    InNode(Operand a, std::vector<Operand> list, bool negate)
        : m_a(std::move(a)), m_list(std::move(list)), m_negate(negate)
    {
    }
    bool matches(const ValueList &v) const override
    {
        const Value a = m_a.get(v);
        if (a.isEmpty())
            return false;
        for (const Operand &o : m_list) {
            const std::optional<int> c = compareMixed(a, o.get(v));
            if (c && *c == 0)
                return !m_negate;
        }
        return m_negate;
    }

private:
    Operand m_a;
    std::vector<Operand> m_list;
    bool m_negate;
};

class Parser {
public:
    Parser(const QString &text, const QStringList &fields) : m_text(text), m_fields(fields), m_lexer(text)
    {
        m_tokens = m_lexer.run();
    }

    std::unique_ptr<Node> parse()
    {
        auto n = parseOr();
        if (peek().kind != Token::End)
            m_lexer.fail(QStringLiteral("'%1' inatteso").arg(peek().text));
        return n;
    }

private:
    const Token &peek() const { return m_tokens[m_pos]; }
    Token take() { return m_tokens[m_pos++]; }
    bool isKeyword(const Token &t, const char *kw) const
    {
        return t.kind == Token::Name && t.text.compare(QLatin1String(kw), Qt::CaseInsensitive) == 0;
    }
    bool acceptKeyword(const char *kw)
    {
        if (isKeyword(peek(), kw)) {
            ++m_pos;
            return true;
        }
        return false;
    }

    std::unique_ptr<Node> parseOr()
    {
        auto n = parseAnd();
        while (acceptKeyword("OR"))
            n = std::make_unique<OrNode>(std::move(n), parseAnd());
        return n;
    }

    std::unique_ptr<Node> parseAnd()
    {
        auto n = parseNot();
        while (acceptKeyword("AND"))
            n = std::make_unique<AndNode>(std::move(n), parseNot());
        return n;
    }

    std::unique_ptr<Node> parseNot()
    {
        if (acceptKeyword("NOT"))
            return std::make_unique<NotNode>(parseNot());
        return parsePrimary();
    }

    std::unique_ptr<Node> parsePrimary()
    {
        if (peek().kind == Token::LParen) {
            // A parenthesis opens a sub-expression here; operands never
            // stand in parentheses of their own.
            ++m_pos;
            auto n = parseOr();
            expect(Token::RParen, ")");
            return n;
        }
        Operand left = parseOperand();
        if (acceptKeyword("IS")) {
            const bool negate = acceptKeyword("NOT");
            if (!acceptKeyword("NULL"))
                m_lexer.fail(QStringLiteral("atteso NULL"));
            return std::make_unique<IsNullNode>(left, negate);
        }
        bool negateIn = false;
        if (isKeyword(peek(), "NOT") && isKeyword(m_tokens[m_pos + 1], "IN")) {
            m_pos += 1;
            negateIn = true;
        }
        if (acceptKeyword("IN")) {
            expect(Token::LParen, "(");
            std::vector<Operand> list;
            list.push_back(parseOperand());
            while (peek().kind == Token::Comma) {
                ++m_pos;
                list.push_back(parseOperand());
            }
            expect(Token::RParen, ")");
            return std::make_unique<InNode>(left, std::move(list), negateIn);
        }
        if (peek().kind != Token::Op)
            m_lexer.fail(QStringLiteral("atteso un confronto"));
        const QString op = take().text;
        Operand right = parseOperand();
        return std::make_unique<CompareNode>(left, op, right);
    }

    Operand parseOperand()
    {
        const Token t = take();
        Operand o;
        switch (t.kind) {
        case Token::Number: {
            bool ok = false;
            if (t.text.contains(QLatin1Char('.'))) {
                // Exact decimals when they fit, else a float.
                try {
                    o.constant = Value(Currency::fromString(t.text));
                    ok = true;
                } catch (const Exception &) {
                    const double d = t.text.toDouble(&ok);
                    o.constant = Value(d);
                }
            } else {
                const qint64 v = t.text.toLongLong(&ok);
                o.constant = Value(v);
            }
            if (!ok)
                m_lexer.fail(QStringLiteral("numero '%1'").arg(t.text));
            return o;
        }
        case Token::Text: o.constant = Value(t.text); return o;
        case Token::Name: {
            if (t.text.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0) {
                o.constant = Value(true);
                return o;
            }
            if (t.text.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) {
                o.constant = Value(false);
                return o;
            }
            if (t.text.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0) {
                o.constant = Value::null();
                return o;
            }
            for (int i = 0; i < m_fields.size(); ++i)
                if (m_fields[i].compare(t.text.trimmed(), Qt::CaseInsensitive) == 0) {
                    o.field = i;
                    return o;
                }
            throw EDataSetError(QStringLiteral("Campo '%1' non trovato nel filtro: %2").arg(t.text, m_text));
        }
        case Token::End: m_lexer.fail(QStringLiteral("espressione incompleta"));
        default:
            m_lexer.fail(QStringLiteral("'%1' inatteso").arg(t.text.isEmpty() ? QStringLiteral("simbolo") : t.text));
        }
    }

    void expect(Token::Kind kind, const char *what)
    {
        if (peek().kind != kind)
            m_lexer.fail(QStringLiteral("atteso '%1'").arg(QLatin1String(what)));
        ++m_pos;
    }

    const QString &m_text;
    const QStringList &m_fields;
    Lexer m_lexer;
    std::vector<Token> m_tokens;
    size_t m_pos = 0;
};

} // namespace

std::unique_ptr<FilterExpression> FilterExpression::compile(const QString &text, const QStringList &fieldNames)
{
    Parser parser(text, fieldNames);
    return parser.parse();
}

} // namespace platform::dataset_detail
