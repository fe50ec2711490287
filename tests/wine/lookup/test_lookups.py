#!/usr/bin/env python3
"""The two lookups end to end: the real DLL under Wine, through the host
simulator, against fixture servers on 127.0.0.1 at the ports the DLL was
built for."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

from hostsim import FOUND, gbk, lookup, nickname, not_found, run_host  # noqa: E402
from httpfixture import FixtureServer, response  # noqa: E402

ENC_PORT = int(os.environ.get("ZHILAN_ENCYCLOPEDIA_PORT", "18080"))
PROF_PORT = int(os.environ.get("ZHILAN_PROFILE_PORT", "18081"))


def page(head_tail):
    """A UTF-8 entry page whose head holds `head_tail` (a str)."""
    return response(headers=["Content-Type: text/html; charset=utf-8"],
                    body="<html><head><title>t</title>" + head_tail + "</head><body>x</body></html>")


class EncyclopediaLookup(unittest.TestCase):
    def serve(self, answer):
        return FixtureServer(lambda req: answer, port=ENC_PORT)

    def test_summary_extraction_by_page(self):
        cases = [
            ("lower-case tag closed by quote-space-slash, next meta",
             '<meta name="description" content="ABC" /><meta name="k">', FOUND + b"ABC"),
            ("no space before the slash, nothing later",
             '<meta name="description" content="ABC"/><meta name="k">', None),
            ("no slash, nothing later", '<meta name="description" content="ABC"><meta name="k">', None),
            ("line break before the next meta",
             '<meta name="description" content="ABC" />\n<meta name="k">', None),
            ("space before the next meta",
             '<meta name="description" content="ABC" /> <meta name="k">', None),
            ("no meta after it", '<meta name="description" content="ABC" /><link>', None),
            ("no slash, a later end marker runs the summary on",
             '<meta name="description" content="ABC"><meta name="k" content="D" /><meta x>',
             FOUND + b'ABC"><meta name="k" content="D'),
            ("two tags: the first wins",
             '<meta name="description" content="one" /><meta name="description" content="two" /><meta>',
             FOUND + b"one"),
            ("empty content", '<meta name="description" content="" /><meta name="k">', None),
            ("summary exactly the sentinel", '<meta name="description" content="无" /><meta name="k">', None),
            ("capitalised tag name, GBK output from UTF-8",
             '<meta name="Description" content="长城，万里" /><meta name="k">', FOUND + gbk("长城，万里")),
            ("no description at all", "<meta name='k'>", None),
        ]
        with FixtureServer(lambda req: None, port=ENC_PORT) as srv:
            for label, head, expected in cases:
                with self.subTest(label):
                    srv.set_responder(lambda req, h=head: page(h))
                    (reply,) = run_host(lookup(b"kw"))
                    self.assertEqual(reply, expected if expected is not None else not_found(b"kw"))

    def test_request_as_the_server_sees_it(self):
        with self.serve(page("")) as srv:
            run_host(lookup(b"abc"))
            (req,) = srv.requests
            self.assertEqual(req.request_line, b"GET /search/word?word=abc&pic=1&sug=1&enc=utf8 HTTP/1.1")
            referer = b"http://127.0.0.1:%d/search/word?word=abc&pic=1&sug=1&enc=utf8" % ENC_PORT
            self.assertEqual(req.headers("Referer"), [referer])
            self.assertEqual(req.headers("Accept"), [b"*/*"])
            self.assertEqual(req.headers("Accept-Language"), [b"zh-cn"])
            self.assertEqual(req.headers("Content-Type"), [b"application/x-www-form-urlencoded"])
            self.assertTrue(req.headers("User-Agent")[0].startswith(b"Mozilla/4.0 (compatible; MSIE 9.0;"))

    def test_keywords_reach_the_server_and_the_reply_unchanged(self):
        cases = [
            ("empty", b"", b"word=&pic=1&sug=1&enc=utf8"),
            ("double-byte", gbk("长城"), b"word=" + gbk("长城") + b"&pic=1&sug=1&enc=utf8"),
            ("ampersand", b"a&b", b"word=a&b&pic=1&sug=1&enc=utf8"),
            # The HTTP layer escapes a space in the object name.
            ("space", b"a b", b"word=a%20b&pic=1&sug=1&enc=utf8"),
        ]
        with self.serve(page("")) as srv:
            for label, kw, query in cases:
                with self.subTest(label):
                    srv.clear()
                    (reply,) = run_host(lookup(kw))
                    self.assertEqual(reply, not_found(kw))
                    (req,) = srv.requests
                    self.assertEqual(req.query(), query)
        self.assertTrue(not_found(b"").endswith(b'""'))

    def test_hash_in_the_keyword(self):
        with self.serve(page("")) as srv:
            (reply,) = run_host(lookup(b"a#b"))
            self.assertEqual(reply, not_found(b"a#b"))
            (req,) = srv.requests
            # The keyword goes out unescaped, "#" and all.
            self.assertEqual(req.target, b"/search/word?word=a#b&pic=1&sug=1&enc=utf8")

    def test_unreachable_server(self):
        (reply,) = run_host(lookup(gbk("长城")))
        self.assertEqual(reply, not_found(gbk("长城")))


def profile_answer(body_bytes):
    return response(headers=["Content-Type: text/plain; charset=gbk"], body=body_bytes)


class NicknameLookup(unittest.TestCase):
    def test_field_by_answer(self):
        def cb(field):
            return b'portraitCallBack({"10000":["http://q/1",0,0,0,0,0,"' + field + b'",0]})'
        cases = [
            ("five letters", cb(b"abcde"), b"abcde"),
            ("23 bytes", cb(b"x" * 23), b"x" * 23),
            ("24 bytes gives the number", cb(b"x" * 24), b"10000"),
            ("11 double-byte characters", cb(gbk("澜" * 11)), gbk("澜" * 11)),
            ("12 double-byte characters give the number", cb(gbk("澜" * 12)), b"10000"),
            ("adjacent markers give null", b'a,"",b', None),
            ("no markers give the empty text", b"portraitCallBack({})", b""),
            ("no end marker", b'a,"bcd', b""),
            ("a NUL byte hides the markers after it", b'x\x00,"abc",', b""),
            ("empty answer", b"", b""),
        ]
        with FixtureServer(lambda req: None, port=PROF_PORT) as srv:
            for label, body, expected in cases:
                with self.subTest(label):
                    srv.set_responder(lambda req, b=body: profile_answer(b))
                    (reply,) = run_host(nickname(b"10000"))
                    self.assertEqual(reply, expected)

    def test_number_in_the_url(self):
        cases = [
            ("plain", b"10000", b"/fcg-bin/cgi_get_score.fcg?mask=7&uins=10000"),
            ("hash cuts the url", b"123#456", b"/fcg-bin/cgi_get_score.fcg?mask=7&uins=123"),
            ("empty", b"", b"/fcg-bin/cgi_get_score.fcg?mask=7&uins="),
        ]
        with FixtureServer(lambda req: profile_answer(b'x,"nick",'), port=PROF_PORT) as srv:
            for label, number, target in cases:
                with self.subTest(label):
                    srv.clear()
                    (reply,) = run_host(nickname(number))
                    self.assertEqual(reply, b"nick")
                    (req,) = srv.requests
                    self.assertEqual(req.target, target)
                    self.assertEqual(req.version, b"HTTP/1.0")
                    self.assertEqual(req.headers("User-Agent"),
                                     [b"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"])
                    self.assertEqual(req.headers("Accept"), [b"*/*"])

    def test_null_number_is_the_empty_number(self):
        with FixtureServer(lambda req: profile_answer(b'x,"nick",'), port=PROF_PORT) as srv:
            (reply,) = run_host(("nickname-null",))
            self.assertEqual(reply, b"nick")
            self.assertEqual(srv.requests[0].target, b"/fcg-bin/cgi_get_score.fcg?mask=7&uins=")

    def test_unreachable_endpoint(self):
        (reply,) = run_host(nickname(b"10000"))
        self.assertEqual(reply, b"")

    def test_error_status_body_is_still_read(self):
        with FixtureServer(lambda req: response(500, "Oops", body=b'x,"nick",'), port=PROF_PORT):
            (reply,) = run_host(nickname(b"1"))
            self.assertEqual(reply, b"nick")


if __name__ == "__main__":
    unittest.main()
