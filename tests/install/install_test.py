# SPDX-License-Identifier: MIT
"""The installed tree as a user meets it: installs under a prefix (as root, as an
ordinary user, staged with DESTDIR), a C program built with pkg-config and a
CMake project built with find_package(ZEVRA), both from files copied out of the
source tree, the installed zevra in a clean environment, and the Debian package
built, installed on this machine, used and purged.

usage: install_test.py SOURCE_DIR BUILD_DIR MASTER_STORE
"""
import glob
import os
import pwd
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import unittest
import urllib.parse

SOURCE = BUILD = MASTER = None
VERSION = "1.0.0"
LIBRARIES = ("libZEVRA_64", "libvisa", "libIviCShared_64", "libIviConfigServerCAPI_64")


def run(args, env=None, cwd=None, user=None, expect=0, timeout=300):
    if user is not None:
        runuser = shutil.which("runuser", path="/usr/sbin:/sbin:/usr/bin:/bin")
        args = [runuser, "-u", user, "--", *args]
    result = subprocess.run(args, env=env, cwd=cwd, capture_output=True, text=True, timeout=timeout)
    if expect is not None and result.returncode != expect:
        raise AssertionError("%s exited %d (expected %d)\n%s%s" % (
            " ".join(args), result.returncode, expect, result.stdout, result.stderr))
    return result


def clean_env(**extra):
    """What a fresh login has: no LD_LIBRARY_PATH, no store override."""
    env = {"PATH": "/usr/local/bin:/usr/bin:/bin", "HOME": os.environ.get("HOME", "/root"), "LANG": "C.UTF-8"}
    env.update(extra)
    return env


def snapshot(path):
    """A file's content, or None when it does not exist."""
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return None


def heading_anchors(markdown):
    """The anchors a Markdown renderer gives the headings of a page (GitHub's rule)."""
    with open(markdown) as f:
        headings = re.findall(r"(?m)^#+ +(.*?) *$", f.read())
    return {re.sub(r"[^\w\- ]", "", h.lower()).replace(" ", "-") for h in headings}


def files_under(root):
    return sorted(os.path.relpath(os.path.join(d, f), root)
                  for d, _, names in os.walk(root) for f in names)


class Consumer:
    """The user's program and its store, made with a given ivi-config."""

    def __init__(self, workdir, ivi_config):
        self.dir = workdir
        shutil.copytree(os.path.join(SOURCE, "tests", "install", "consumer"), os.path.join(workdir, "src"))
        self.store = os.path.join(workdir, "store.xml")
        for args in (["create"], ["register-driver"], ["add-session", "Sim", "--simulate", "1"],
                     ["add-logical-name", "SimPSU", "Sim"]):
            run([ivi_config, "--store", self.store, *args], env=clean_env())

    def build_with_pkg_config(self, pkg_config_path=None):
        env = clean_env(**({"PKG_CONFIG_PATH": pkg_config_path} if pkg_config_path else {}))
        flags = run(["pkg-config", "--cflags", "--libs", "zevra"], env=env).stdout.split()
        libdir = run(["pkg-config", "--variable=libdir", "zevra"], env=env).stdout.strip()
        program = os.path.join(self.dir, "consumer-pc")
        run(["cc", "-Wall", "-Werror", os.path.join(self.dir, "src", "consumer.c"), *flags,
             "-Wl,-rpath," + libdir, "-o", program], env=env)
        return program

    def build_with_cmake(self, prefix_path=None):
        build = os.path.join(self.dir, "cmake-build")
        configure = ["cmake", "-S", os.path.join(self.dir, "src"), "-B", build]
        if prefix_path:
            configure.append("-DCMAKE_PREFIX_PATH=" + prefix_path)
        run(configure, env=clean_env())
        run(["cmake", "--build", build], env=clean_env())
        return os.path.join(build, "consumer")

    def run(self, program, name="SimPSU", **env):
        out = run([program, name], env=clean_env(IVICONFIGSERVERDEFAULT=self.store, **env)).stdout
        return out


PYTHON_CHECK = ("import zevra, zevra._library as found\n"
                "with zevra.Session('SimPSU') as psu:\n"
                "    psu.channels['CH1'].voltage_level = 5.25\n"
                "    print(psu.instrument_model, psu.channels[1].voltage_level, found.library()._name)\n")


class PrefixInstall(unittest.TestCase):
    """cmake --install into a temporary prefix."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.prefix = os.path.join(cls.tmp.name, "prefix")
        cls.master_before = snapshot(MASTER)
        # Root would register into the live master store: asked not to here.
        result = run(["cmake", "--install", BUILD, "--prefix", cls.prefix],
                     env=dict(os.environ, ZEVRA_INSTALL_REGISTER="0"))
        cls.install_output = result.stdout

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_layout_and_versioned_libraries(self):
        files = set(files_under(self.prefix))
        for name in ("bin/zevra", "bin/ivi-config", "bin/qdx-emulator", "include/zevra/ZEVRA.h",
                     "include/zevra/visa.h", "include/zevra/visatype.h", "lib/pkgconfig/zevra.pc",
                     "lib/pkgconfig/zevra-visa.pc", "lib/cmake/ZEVRA/ZEVRAConfig.cmake",
                     "lib/cmake/ZEVRA/ZEVRAConfigVersion.cmake", "share/doc/zevra/README.md",
                     "share/doc/zevra/examples/output_and_list.c"):
            self.assertIn(name, files)
        for library in LIBRARIES:
            real = os.path.join(self.prefix, "lib", "%s.so.%s" % (library, VERSION))
            self.assertTrue(os.path.isfile(real), real)
            self.assertEqual(os.readlink(os.path.join(self.prefix, "lib", library + ".so.1")),
                             "%s.so.%s" % (library, VERSION))
            self.assertEqual(os.readlink(os.path.join(self.prefix, "lib", library + ".so")), library + ".so.1")
            dynamic = run(["readelf", "-d", real]).stdout
            self.assertIn("Library soname: [%s.so.1]" % library, dynamic)
            self.assertIn("Library runpath: [$ORIGIN]", dynamic)
        driver = run(["readelf", "-d", os.path.join(self.prefix, "lib", "libZEVRA_64.so.1")]).stdout
        for needed in ("libvisa.so.1", "libIviCShared_64.so.1", "libIviConfigServerCAPI_64.so.1"):
            self.assertIn("Shared library: [%s]" % needed, driver)
        program = run(["readelf", "-d", os.path.join(self.prefix, "bin", "zevra")]).stdout
        self.assertIn("Library runpath: [$ORIGIN/../lib]", program)

    def test_every_link_in_the_installed_documentation_resolves(self):
        docs = os.path.join(self.prefix, "share", "doc", "zevra")
        pages = [os.path.join(docs, f) for f in files_under(docs) if f.endswith(".md")]
        self.assertIn(os.path.join(docs, "docs", "index.md"), pages)
        checked, broken = 0, []
        for page in pages:
            with open(page) as f:
                text = f.read()
            for target in re.findall(r"\]\(([^)\s]+)\)", text):
                if re.match(r"[a-z]+:", target):
                    continue  # a web address
                path, _, anchor = target.partition("#")
                path = urllib.parse.unquote(path)
                resolved = os.path.normpath(os.path.join(os.path.dirname(page), path)) if path else page
                checked += 1
                if not os.path.exists(resolved):
                    broken.append("%s: %s" % (os.path.relpath(page, docs), target))
                elif anchor and anchor not in heading_anchors(resolved):
                    broken.append("%s: %s (no such heading)" % (os.path.relpath(page, docs), target))
        self.assertGreater(checked, 30)
        self.assertEqual(broken, [])

    def test_registration_skipped_when_asked(self):
        self.assertIn("ZEVRA_INSTALL_REGISTER=0: %s left alone" % MASTER, self.install_output)
        self.assertEqual(snapshot(MASTER), self.master_before)

    def test_installed_zevra_runs_in_a_clean_environment(self):
        out = run([os.path.join(self.prefix, "bin", "zevra"), "--emulate", "info"], env=clean_env()).stdout
        self.assertRegex(out, r"(?m)^model: +QDX7001$")
        self.assertRegex(out, r"(?m)^driver: +ZEVRA 1\.0\.0\.0$")

    def test_pkg_config_program(self):
        with tempfile.TemporaryDirectory() as work:
            consumer = Consumer(work, os.path.join(self.prefix, "bin", "ivi-config"))
            pc_dir = os.path.join(self.prefix, "lib", "pkgconfig")
            env = clean_env(PKG_CONFIG_PATH=pc_dir)
            self.assertEqual(run(["pkg-config", "--modversion", "zevra"], env=env).stdout.strip(), VERSION)
            libs = run(["pkg-config", "--libs", "zevra"], env=env).stdout.split()
            self.assertIn("-lZEVRA_64", libs)
            self.assertIn("-lvisa", libs)
            program = consumer.build_with_pkg_config(pc_dir)
            self.assertEqual(consumer.run(program), "driver 1.0.0.0, CH1 level 5.25 V\n")

    def test_python_package_loads_the_driver_of_its_prefix(self):
        site = os.path.join(self.prefix, "lib", "python3", "dist-packages")
        self.assertIn("lib/python3/dist-packages/zevra/_driver.py", set(files_under(self.prefix)))
        self.assertFalse([f for f in files_under(site) if "__pycache__" in f])
        with tempfile.TemporaryDirectory() as work:
            consumer = Consumer(work, os.path.join(self.prefix, "bin", "ivi-config"))
            out = run(["/usr/bin/python3", "-B", "-c", PYTHON_CHECK],
                      env=clean_env(PYTHONPATH=site, IVICONFIGSERVERDEFAULT=consumer.store)).stdout
            self.assertEqual(out, "QDX7001 5.25 %s\n" % os.path.join(self.prefix, "lib", "libZEVRA_64.so.1"))

    def test_driver_alone_links(self):
        # -lZEVRA_64 alone: the linker finds the libraries the driver needs through its run path.
        with tempfile.TemporaryDirectory() as work:
            source = os.path.join(work, "only_driver.c")
            with open(source, "w") as f:
                f.write('#include "ZEVRA.h"\nint main(void) { ViSession vi; '
                        'ViStatus s = ZEVRA_InitWithOptions("x", 0, 0, "Simulate=1", &vi);\n'
                        'return s != 0 || ZEVRA_close(vi) != 0; }\n')
            lib = os.path.join(self.prefix, "lib")
            program = os.path.join(work, "only_driver")
            run(["cc", source, "-I" + os.path.join(self.prefix, "include", "zevra"), "-L" + lib, "-lZEVRA_64",
                 "-Wl,-rpath," + lib, "-o", program])
            consumer = Consumer(work, os.path.join(self.prefix, "bin", "ivi-config"))
            run([program], env=clean_env(IVICONFIGSERVERDEFAULT=consumer.store))

    def test_cmake_package(self):
        with tempfile.TemporaryDirectory() as work:
            consumer = Consumer(work, os.path.join(self.prefix, "bin", "ivi-config"))
            program = consumer.build_with_cmake(self.prefix)
            self.assertEqual(consumer.run(program), "driver 1.0.0.0, CH1 level 5.25 V\n")

    def test_cmake_package_refuses_another_major_version(self):
        with tempfile.TemporaryDirectory() as work:
            src = os.path.join(work, "src")
            os.makedirs(src)
            with open(os.path.join(src, "CMakeLists.txt"), "w") as f:
                f.write("cmake_minimum_required(VERSION 3.25)\nproject(p LANGUAGES NONE)\n"
                        "find_package(ZEVRA 2.0 CONFIG REQUIRED)\n")
            result = run(["cmake", "-S", src, "-B", os.path.join(work, "b"), "-DCMAKE_PREFIX_PATH=" + self.prefix],
                         env=clean_env(), expect=None)
            self.assertNotEqual(result.returncode, 0)
            self.assertIn("version: 1.0.0", result.stderr)


class StagedAndUnprivilegedInstall(unittest.TestCase):
    def test_destdir_writes_only_under_the_stage(self):
        master_before = snapshot(MASTER)
        with tempfile.TemporaryDirectory() as tmp:
            stage = os.path.join(tmp, "stage")
            prefix = os.path.join(tmp, "prefix")
            result = run(["cmake", "--install", BUILD, "--prefix", prefix], env=dict(os.environ, DESTDIR=stage))
            self.assertFalse(os.path.exists(prefix))
            self.assertEqual(snapshot(MASTER), master_before)
            self.assertIn("Staged install: %s left alone; on the target system run: %s/bin/ivi-config --store %s "
                          "register-driver --module-path %s/lib/libZEVRA_64.so" % (MASTER, prefix, MASTER, prefix),
                          result.stdout)
            staged = files_under(stage)
            self.assertIn(os.path.relpath(prefix, "/") + "/bin/zevra", staged)
            self.assertTrue(all(f.startswith(os.path.relpath(prefix, "/") + "/") for f in staged), staged)

    def test_ordinary_user_install(self):
        if os.geteuid() != 0:
            self.skipTest("needs root to act as another user")
        try:
            nobody = pwd.getpwnam("nobody")
        except KeyError:
            self.skipTest("no user 'nobody'")
        master_before = snapshot(MASTER)
        with tempfile.TemporaryDirectory() as tmp:
            os.chmod(tmp, 0o755)
            prefix = os.path.join(tmp, "prefix")
            os.makedirs(prefix)
            os.chown(prefix, nobody.pw_uid, nobody.pw_gid)
            # An ordinary user owns the build tree they install from; here only the
            # install manifest, the one file an install writes there, is lent to them.
            manifest = os.path.join(BUILD, "install_manifest.txt")
            open(manifest, "a").close()
            owner = os.stat(manifest)
            os.chown(manifest, nobody.pw_uid, nobody.pw_gid)
            try:
                result = run(["cmake", "--install", BUILD, "--prefix", prefix], user="nobody", env=clean_env())
            finally:
                os.chown(manifest, owner.st_uid, owner.st_gid)
            self.assertTrue(os.path.isfile(os.path.join(prefix, "lib", "libZEVRA_64.so.1.0.0")))
            self.assertEqual(snapshot(MASTER), master_before)
            if master_before is None or not os.access(MASTER, os.W_OK):
                self.assertRegex(result.stdout, r"Not registered in %s \(ivi-config: .*\); as a user who may write it, "
                                 r"run: %s/bin/ivi-config --store %s register-driver" % (
                                     re.escape(MASTER), re.escape(prefix), re.escape(MASTER)))
            out = run([os.path.join(prefix, "bin", "zevra"), "--emulate", "info"], user="nobody",
                      env=clean_env(HOME=tmp)).stdout
            self.assertRegex(out, r"(?m)^model: +QDX7001$")


@unittest.skipUnless(os.geteuid() == 0, "writing the master store needs root")
class RegisteringInstall(unittest.TestCase):
    def test_root_install_registers_with_its_own_prefix(self):
        before = snapshot(MASTER)
        directory_existed = os.path.isdir(os.path.dirname(MASTER))
        tool = os.path.join(BUILD, "bin", "ivi-config")
        try:
            if before is None:
                run([tool, "--store", MASTER, "create"])
            run([tool, "--store", MASTER, "add-asset", "user-scope", "TCPIP0::10.9.8.7::INSTR"])
            with tempfile.TemporaryDirectory() as tmp:
                prefix = os.path.join(tmp, "prefix")
                result = run(["cmake", "--install", BUILD, "--prefix", prefix], env=clean_env())
                self.assertIn("Registered ZEVRA in " + MASTER, result.stdout)
                store = snapshot(MASTER).decode()
                self.assertIn("<ModulePath>%s/lib/libZEVRA_64.so</ModulePath>" % prefix, store)
                self.assertIn("TCPIP0::10.9.8.7::INSTR", store)
        finally:
            if before is None:
                os.remove(MASTER)
                if os.path.exists(MASTER + ".lock"):  # the editors' lock, beside the store
                    os.remove(MASTER + ".lock")
                if not directory_existed:
                    os.rmdir(os.path.dirname(MASTER))
            else:
                with open(MASTER, "wb") as f:
                    f.write(before)


class PackagingTools(unittest.TestCase):
    def test_packaging_without_its_tools_stops_and_says_what_to_install(self):
        check = os.path.join(SOURCE, "cmake", "package_checks.cmake")
        cmake = shutil.which("cmake")
        missing = subprocess.run([cmake, "-P", check], capture_output=True, text=True, env={"PATH": "/nonexistent"})
        self.assertNotEqual(missing.returncode, 0)
        self.assertIn("packaging needs dpkg-shlibdeps, file: install them with scripts/install-deps.sh build",
                      " ".join(missing.stderr.split()))
        present = subprocess.run([cmake, "-P", check], capture_output=True, text=True)
        self.assertEqual((present.returncode, present.stderr), (0, ""))


PACKAGES = ("libzevra1", "libzevra-dev", "zevra", "python3-zevra")
# Where each package's files go, a few of each (the whole lists are checked for overlap).
PACKAGE_FILES = {
    "libzevra1": ("/usr/lib/libZEVRA_64.so.1.0.0", "/usr/lib/libZEVRA_64.so.1", "/usr/lib/libvisa.so.1.0.0",
                  "/usr/lib/libIviCShared_64.so.1.0.0", "/usr/lib/libIviConfigServerCAPI_64.so.1.0.0",
                  "/usr/share/doc/libzevra1/copyright", "/usr/share/doc/libzevra1/changelog.gz"),
    "libzevra-dev": ("/usr/lib/libZEVRA_64.so", "/usr/lib/libvisa.so", "/usr/include/zevra/ZEVRA.h",
                     "/usr/include/zevra/visa.h", "/usr/lib/pkgconfig/zevra.pc", "/usr/lib/pkgconfig/zevra-visa.pc",
                     "/usr/lib/cmake/ZEVRA/ZEVRAConfig.cmake", "/usr/share/doc/libzevra-dev/copyright"),
    "zevra": ("/usr/bin/zevra", "/usr/bin/ivi-config", "/usr/bin/qdx-emulator", "/usr/share/doc/zevra/README.md",
              "/usr/share/doc/zevra/copyright", "/usr/share/doc/zevra/changelog.gz", "/usr/share/man/man1/zevra.1.gz",
              "/usr/share/man/man1/ivi-config.1.gz", "/usr/share/man/man1/qdx-emulator.1.gz",
              "/usr/share/man/man5/visa.conf.5.gz", "/usr/share/bash-completion/completions/zevra",
              "/usr/lib/udev/rules.d/70-zevra-usbtmc.rules", "/usr/share/doc/zevra/docs/troubleshooting.md",
              "/usr/share/doc/zevra/examples/visa_identify.c", "/usr/share/doc/zevra/examples/python/sweep.py",
              "/etc/zevra/visa.conf", "/lib/systemd/system/qdx-emulator.service", "/usr/bin/zevra-gateway",
              "/usr/share/man/man1/zevra-gateway.1.gz", "/etc/zevra/gateway.conf",
              "/lib/systemd/system/zevra-gateway.service"),
    "python3-zevra": ("/usr/lib/python3/dist-packages/zevra/__init__.py", "/usr/share/doc/python3-zevra/copyright"),
}


@unittest.skipUnless(os.geteuid() == 0 and shutil.which("apt-get"), "installing a .deb needs root and apt-get")
class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        for package in PACKAGES:
            if subprocess.run(["dpkg-query", "-W", package], capture_output=True).returncode == 0:
                raise unittest.SkipTest("a %s package is installed on this machine already" % package)
        for old in glob.glob(os.path.join(BUILD, "*.deb")):
            os.remove(old)
        run(["cpack", "-G", "DEB"], cwd=BUILD, timeout=600)
        cls.debs = {}
        for package in PACKAGES:
            (cls.debs[package],) = glob.glob(os.path.join(BUILD, "%s_%s_*.deb" % (package, VERSION)))
        cls.master_before = snapshot(MASTER)
        cls.directory_existed = os.path.isdir(os.path.dirname(MASTER))

    @classmethod
    def tearDownClass(cls):
        cls.restore()  # whatever happened, the machine is left as it was found

    def field(self, package, name):
        return run(["dpkg-deb", "-f", self.debs[package], name]).stdout.strip()

    def contents(self, package):
        listing = run(["dpkg-deb", "-c", self.debs[package]]).stdout
        return {line.split()[5].lstrip(".") for line in listing.splitlines()}

    def test_control_fields(self):
        for package in PACKAGES:
            self.assertEqual(self.field(package, "Version"), VERSION)
        self.assertEqual(self.field("python3-zevra", "Architecture"), "all")
        self.assertEqual(self.field("libzevra1", "Architecture"), "amd64")
        names = lambda field: [d.split(" ")[0] for d in field.split(", ")]  # noqa: E731
        libraries = names(self.field("libzevra1", "Depends"))
        for needed in ("libc6", "libstdc++6", "libpugixml1v5"):
            self.assertIn(needed, libraries)
        # The VISA library loads these when first needed; only the emulator links Avahi.
        recommends = names(self.field("libzevra1", "Recommends"))
        self.assertIn("libusb-1.0-0", recommends)
        self.assertIn("libavahi-client3", recommends)
        self.assertNotIn("libusb-1.0-0", libraries)
        self.assertNotIn("libavahi-client3", libraries)
        programs = names(self.field("zevra", "Depends"))
        for needed in ("libzevra1", "libreadline8", "libavahi-client3", "libtirpc3"):
            self.assertIn(needed, programs)
        for package in ("libzevra-dev", "zevra", "python3-zevra"):
            self.assertIn("libzevra1 (= %s)" % VERSION, self.field(package, "Depends").split(", "))
        control = run(["dpkg-deb", "--info", self.debs["libzevra1"], "shlibs"]).stdout
        self.assertIn("libvisa 1 libzevra1 (= %s)" % VERSION, control)
        self.assertEqual(run(["dpkg-deb", "--info", self.debs["libzevra1"], "triggers"]).stdout.strip(),
                         "activate-noawait ldconfig")
        self.assertEqual(run(["dpkg-deb", "--info", self.debs["zevra"], "conffiles"]).stdout.split(),
                         ["/etc/zevra/visa.conf", "/etc/zevra/gateway.conf"])

    def test_contents(self):
        seen = {}
        for package in PACKAGES:
            paths = self.contents(package)
            for path in PACKAGE_FILES[package]:
                self.assertIn(path, paths, package)
            files = {p for p in paths if not p.endswith("/")}
            for other, theirs in seen.items():
                self.assertFalse(files & theirs, "%s and %s both ship %s" % (package, other, files & theirs))
            seen[package] = files
            outside = [p for p in files if not p.startswith(("/usr/", "/etc/zevra/", "/lib/systemd/system/"))]
            self.assertEqual(outside, [], package)
        # Stripped: no debug sections in any shipped binary.
        with tempfile.TemporaryDirectory() as tree:
            run(["dpkg-deb", "-x", self.debs["libzevra1"], tree])
            run(["dpkg-deb", "-x", self.debs["zevra"], tree])
            for binary in ("usr/lib/libZEVRA_64.so.1.0.0", "usr/lib/libvisa.so.1.0.0", "usr/bin/zevra"):
                sections = run(["readelf", "-S", os.path.join(tree, binary)]).stdout
                self.assertNotIn(".debug_info", sections, binary)
                self.assertNotIn(".symtab", sections, binary)

    @unittest.skipUnless(shutil.which("lintian"), "lintian is not installed")
    def test_lintian_finds_no_error_or_warning(self):
        # Overrides, each with its reason, ship in the packages; what is left must be nothing.
        result = run(["lintian", "--fail-on", "error,warning", *self.debs.values()], expect=None, timeout=600)
        reported = [line for line in result.stdout.splitlines() if line[:2] in ("E:", "W:")]
        self.assertEqual((result.returncode, reported), (0, []), result.stdout + result.stderr)

    def install(self):
        run(["apt-get", "install", "-y", *self.debs.values()], timeout=600)

    def purge(self):
        run(["apt-get", "purge", "-y", *PACKAGES], timeout=600)

    def start_from_a_new_store(self):
        """Whatever the machine had (restored afterwards), each case starts from a store of its own."""
        for path in (MASTER, MASTER + ".lock"):
            if os.path.exists(path):
                os.remove(path)
        run([os.path.join(BUILD, "bin", "ivi-config"), "--store", MASTER, "create"])

    def test_system_install_with_a_new_store(self):
        for path in (MASTER, MASTER + ".lock"):
            if os.path.exists(path):
                os.remove(path)
        try:
            self.install()
            store = snapshot(MASTER).decode()
            self.assertIn("<ModulePath>/usr/lib/libZEVRA_64.so.1</ModulePath>", store)
            out = run(["/usr/bin/zevra", "--emulate", "info"], env=clean_env()).stdout
            # What a user reads first: versions, help and manual pages of the installed programs.
            for program in ("zevra", "ivi-config", "qdx-emulator", "zevra-gateway"):
                self.assertIn(VERSION, run(["/usr/bin/" + program, "--version"], env=clean_env()).stdout)
                self.assertIn("usage", run(["/usr/bin/" + program, "--help"], env=clean_env()).stdout.lower())
            for page, heading in (("man1/zevra.1.gz", "ZEVRA(1)"), ("man1/ivi-config.1.gz", "IVI-CONFIG(1)"),
                                  ("man1/qdx-emulator.1.gz", "QDX-EMULATOR(1)"),
                                  ("man1/zevra-gateway.1.gz", "ZEVRA-GATEWAY(1)"), ("man5/visa.conf.5.gz", "VISA.CONF(5)")):
                shown = run(["man", "-l", "/usr/share/man/" + page], env=clean_env(MANPAGER="cat")).stdout
                self.assertIn(heading, shown)
            if shutil.which("systemd-analyze"):  # the unit reads, its program and manual page exist
                for unit in ("qdx-emulator", "zevra-gateway"):
                    run(["systemd-analyze", "verify", "/lib/systemd/system/%s.service" % unit], env=clean_env())
            # The commented gateway configuration serves nothing, and says so.
            gateway = run(["/usr/bin/zevra-gateway"], env=clean_env(), expect=None)
            self.assertEqual((gateway.returncode, gateway.stderr),
                             (2, "zevra-gateway: nothing to serve: give --map NAME=RESOURCE\n"))
            # The commented configuration changes nothing: the library reads it without a complaint.
            found = run(["/usr/bin/zevra", "find", "--timeout", "0"], env=clean_env(), expect=None)
            self.assertNotIn("visa.conf", found.stderr)
            self.assertRegex(out, r"(?m)^model: +QDX7001$")
            with tempfile.TemporaryDirectory() as work:
                consumer = Consumer(work, "/usr/bin/ivi-config")
                self.assertEqual(consumer.run(consumer.build_with_pkg_config()), "driver 1.0.0.0, CH1 level 5.25 V\n")
                self.assertEqual(consumer.run(consumer.build_with_cmake()), "driver 1.0.0.0, CH1 level 5.25 V\n")
                # Stock PyVISA, asked for no library in particular, finds ours through the linker cache.
                probe = "import pyvisa; print(pyvisa.ResourceManager().visalib.library_path)"
                out = run(["/usr/bin/python3", "-c", probe], env=clean_env()).stdout
                self.assertEqual(out, "/usr/lib/libvisa.so.%s\n" % VERSION)
                # Debian's interpreter finds the package without help, the package the driver.
                out = run(["/usr/bin/python3", "-c", PYTHON_CHECK],
                          env=clean_env(IVICONFIGSERVERDEFAULT=consumer.store)).stdout
                self.assertEqual(out, "QDX7001 5.25 /usr/lib/libZEVRA_64.so.1\n")
                # By resource name through the master store the package registered.
                emulator = subprocess.Popen(["/usr/bin/qdx-emulator", "--port", "0"], stdout=subprocess.PIPE,
                                            text=True, env=clean_env())
                try:
                    address, port = re.fullmatch(r"listening SOCKET (\S+) (\d+)",
                                                 emulator.stdout.readline().strip()).groups()
                    out = run([os.path.join(work, "consumer-pc"), "TCPIP0::%s::%s::SOCKET" % (address, port)],
                              env=clean_env()).stdout
                    self.assertEqual(out, "driver 1.0.0.0, CH1 level 5.25 V\n")
                finally:
                    emulator.send_signal(signal.SIGTERM)
                    emulator.wait(timeout=10)
                    emulator.stdout.close()
            self.purge()
            self.assertIsNone(snapshot(MASTER), "the store the package created is gone with it")
            left = [p for files in PACKAGE_FILES.values() for p in files if os.path.lexists(p)]
            self.assertEqual(left, [], "purge left files behind")
            for directory in ("/usr/lib/python3/dist-packages/zevra", "/etc/zevra", "/var/lib/zevra",
                              "/usr/include/zevra", "/usr/share/doc/zevra"):
                self.assertFalse(os.path.exists(directory), directory + " left behind")
        finally:
            self.restore()

    def test_system_install_keeps_other_entries(self):
        tool = os.path.join(BUILD, "bin", "ivi-config")
        self.start_from_a_new_store()
        run([tool, "--store", MASTER, "add-asset", "user-dmm", "TCPIP0::10.1.2.3::INSTR"])
        with open(MASTER) as f:
            commented = f.read().replace("<IviConfigStore>", "<!-- the lab's store -->\n<IviConfigStore>", 1)
        with open(MASTER, "w") as f:
            f.write(commented)
        before = snapshot(MASTER)
        try:
            self.install()
            store = snapshot(MASTER).decode()
            self.assertIn("<ModulePath>/usr/lib/libZEVRA_64.so.1</ModulePath>", store)
            self.assertIn("TCPIP0::10.1.2.3::INSTR", store)
            self.assertIn("<!-- the lab's store -->", store)
            self.assertTrue(store.startswith('<?xml version="1.0" encoding="UTF-8"?>\n'), store[:80])
            self.purge()
            self.assertEqual(snapshot(MASTER), before)
        finally:
            self.restore()

    def test_system_install_keeps_a_users_own_registration(self):
        tool = os.path.join(BUILD, "bin", "ivi-config")
        self.start_from_a_new_store()
        run([tool, "--store", MASTER, "register-driver", "--module-path", "/opt/lab/libZEVRA_64.so"])
        before = snapshot(MASTER)
        try:
            self.install()
            self.assertEqual(snapshot(MASTER), before, "the user's registration was overwritten")
            self.purge()
            self.assertEqual(snapshot(MASTER), before, "removal took out what the package had not added")
        finally:
            self.restore()

    @classmethod
    def restore(cls):
        subprocess.run(["apt-get", "purge", "-y", *PACKAGES], capture_output=True)
        if cls.master_before is None:
            for path in (MASTER, MASTER + ".lock"):
                if os.path.exists(path):
                    os.remove(path)
            if (not cls.directory_existed and os.path.isdir(os.path.dirname(MASTER))
                    and not os.listdir(os.path.dirname(MASTER))):
                os.rmdir(os.path.dirname(MASTER))
        else:  # a purge may have taken the directory with the store the package had made
            os.makedirs(os.path.dirname(MASTER), exist_ok=True)
            with open(MASTER, "wb") as f:
                f.write(cls.master_before)


if __name__ == "__main__":
    SOURCE, BUILD, MASTER = sys.argv[1:4]
    del sys.argv[1:4]
    unittest.main()
