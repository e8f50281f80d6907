"""Tests of the reference account service: started as a program on free ports, spoken to
over real HTTPS and HTTP with the standard library's client."""

import base64
import datetime
import json
import os
import signal
import ssl
import subprocess
import sys
import tempfile
import types
import unittest
import urllib.error
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
PROGRAM = os.path.join(HERE, "corvane-reference-cabinet")


def load_module():
    # The program has no .py ending, so it is run into a fresh module by hand.
    module = types.ModuleType("reference_cabinet")
    module.__file__ = PROGRAM
    sys.modules[module.__name__] = module
    with open(PROGRAM, encoding="utf-8") as source:
        exec(compile(source.read(), PROGRAM, "exec"), module.__dict__)
    return module


class Service:
    def __init__(self, state, extra=()):
        self.state = state
        self.log = os.path.join(state, "requests.log")
        self.process = subprocess.Popen(
            [sys.executable, PROGRAM, "--listen", "127.0.0.1:0", "--listen-http", "127.0.0.1:0",
             "--state", state, "--log", self.log, *extra],
            stdout=subprocess.PIPE, text=True)
        self.urls = []
        for line in self.process.stdout:
            if "serving " in line:
                self.urls.append(line.split("serving ", 1)[1].strip())
            if "sign in as" in line:
                break
        self.https, self.http = self.urls
        self.context = ssl.create_default_context(cafile=os.path.join(state, "ca.pem"))

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        self.process.stdout.read()
        self.process.stdout.close()
        return self.process.wait(timeout=10)

    def post(self, message, user="demo@corvane.test", password="demo", base=None, path="/api/json/v2"):
        body = message if isinstance(message, bytes) else json.dumps(message).encode()
        request = urllib.request.Request((base or self.https) + path, data=body, method="POST")
        if user is not None:
            token = base64.b64encode(("%s:%s" % (user, password)).encode()).decode()
            request.add_header("Authorization", "Basic " + token)
        try:
            with urllib.request.urlopen(request, context=self.context, timeout=10) as reply:
                text = reply.read()
                return reply.status, json.loads(text) if text else None, reply.headers
        except urllib.error.HTTPError as error:
            return error.code, None, error.headers

    def call(self, method, *params):
        status, answer, _ = self.post({"jsonrpc": "2.0", "id": 7, "method": method,
                                       "params": list(params)})
        assert status == 200, status
        return answer

    def get(self, path, base=None):
        try:
            with urllib.request.urlopen((base or self.https) + path, context=self.context,
                                        timeout=10) as reply:
                return reply.status, reply.read()
        except urllib.error.HTTPError as error:
            return error.code, b""


class ReferenceCabinetTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.state = tempfile.mkdtemp(prefix="reference-cabinet-")
        os.makedirs(os.path.join(cls.state, "static"))
        with open(os.path.join(cls.state, "static", "version.txt"), "w") as out:
            out.write("3.2.1.4\n")
        cls.service = Service(cls.state, ["--static", os.path.join(cls.state, "static")])

    @classmethod
    def tearDownClass(cls):
        cls.service.stop()

    def test_authentication(self):
        for user, password, status in [(None, None, 401), ("demo@corvane.test", "wrong", 401),
                                       ("nobody@corvane.test", "demo", 401),
                                       ("demo@corvane.test", "demo", 200)]:
            with self.subTest(user=user, password=password):
                got, _, headers = self.service.post({"jsonrpc": "2.0", "id": 1, "method": "systemInfo"},
                                                    user, password)
                self.assertEqual(got, status)
                if status == 401:
                    self.assertTrue(headers["WWW-Authenticate"].startswith("Basic "))

    def test_errors(self):
        cases = [
            (("domains", 999, "white"), 10),
            (("domains", "101", "white"), -32602),
            (("domains", 101, "grey"), -32602),
            (("setProfile", "uid"), -32602),
            (("addDomain", 101, "alias", "x.example", "not an address"), 12),
            (("updateNic", 101, "CorvaneAgent"), 51),
            (("noSuchMethod",), -32601),
        ]
        for (method, *params), code in cases:
            with self.subTest(method=method, params=params):
                answer = self.service.call(method, *params)
                self.assertEqual(answer["error"]["code"], code, answer)
        status, answer, _ = self.service.post(b'[{"jsonrpc":"2.0","id":1,"method":"profiles"}]')
        self.assertEqual(answer["error"]["code"], -32600)
        status, answer, _ = self.service.post(b"[" * 100000)
        self.assertEqual(answer["error"]["code"], -32700)

    def test_demo_account(self):
        profiles = {p["name"]: p for p in self.service.call("profiles")["result"]}
        self.assertEqual(sorted(profiles), ["Default", "Homework", "Kids"])
        self.assertTrue(profiles["Default"]["default"])
        self.assertTrue(profiles["Kids"]["is_schedule_enabled"])
        self.assertTrue(profiles["Homework"]["white_list_only"])
        self.assertEqual(len(self.service.call("schedule", profiles["Kids"]["id"])["result"]), 7)
        groups = self.service.call("categories", "de")["result"]
        self.assertEqual(groups[0]["title"], "Erwachsene")

    def test_changes_survive_a_restart(self):
        answer = self.service.call("addDomain", 103, "white", "Library.Example")
        new_id = answer["result"]
        state = tempfile.mkdtemp(prefix="reference-cabinet-copy-")
        with open(os.path.join(self.state, "cabinet.json")) as source:
            data = json.load(source)
        self.assertIn({"id": new_id, "domain": "library.example"},
                      next(p for p in data["accounts"]["demo@corvane.test"]["profiles"]
                           if p["id"] == 103)["lists"]["white"])
        self.assertEqual([n for n in os.listdir(self.state) if n.startswith(".cabinet-")], [])
        with open(os.path.join(state, "cabinet.json"), "w") as out:
            json.dump(data, out)
        again = Service(state)
        try:
            listed = again.call("domains", 103, "white")["result"]
            self.assertIn(new_id, [entry["id"] for entry in listed])
        finally:
            self.assertEqual(again.stop(), 0)

    def test_agent_binding(self):
        uid, token, profile = self.service.call("getProfile", "", "host", "3.2.1.3", "Linux", "192.0.2.7")["result"]
        self.assertTrue(uid)
        self.service.call("setProfile", uid, 102)  # a call here, so the answer shows errors
        again = self.service.call("getProfile", uid, "host", "3.2.1.3", "Linux", "192.0.2.7")["result"]
        self.assertEqual(again, [uid, token, 102])

    def test_notification_has_empty_answer(self):
        status, answer, _ = self.service.post({"jsonrpc": "2.0", "method": "setSafeYoutubeEnabled",
                                               "params": [101, True]})
        self.assertEqual((status, answer), (200, None))
        self.assertTrue(next(p for p in self.service.call("profiles")["result"]
                             if p["id"] == 101)["safe_youtube_enabled"])

    def test_plain_pages(self):
        for base in (self.service.https, self.service.http):
            with self.subTest(base=base):
                self.assertEqual(self.service.get("/nic/myip", base), (200, b"127.0.0.1"))
        self.assertEqual(self.service.get("/download/version.txt"), (200, b"3.2.1.4\n"))
        self.assertEqual(self.service.get("/download/../cabinet.json")[0], 404)
        self.assertEqual(self.service.post({}, path="/other")[0], 404)

    def test_log_has_one_line_per_request(self):
        self.service.call("userFilter", 101)
        with open(self.service.log) as source:
            last = json.loads(source.readlines()[-1])
        self.assertEqual((last["method"], last["params"], last["user"]),
                         ("userFilter", [101], "demo@corvane.test"))

    def test_schedule_activity(self):
        module = load_module()
        day = {"is_profile_on": True, "time_from": "07:00", "time_to": "20:00"}
        profile = {"is_schedule_enabled": True, "schedule": [day] * 7}
        monday = datetime.datetime(2026, 12, 7, tzinfo=datetime.timezone.utc)
        for hour, minute, expected in [(6, 0, [False, 60]), (19, 55, [True, 10]),
                                       (12, 0, [True, 480]), (22, 0, [False, 540])]:
            with self.subTest(hour=hour, minute=minute):
                now = monday.replace(hour=hour, minute=minute)
                self.assertEqual(module.schedule_activity(profile, 0, now), expected)


if __name__ == "__main__":
    unittest.main()
